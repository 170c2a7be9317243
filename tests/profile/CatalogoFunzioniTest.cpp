#include "profile/CatalogoFunzioni.h"

#include <gtest/gtest.h>

#include <tuple>

namespace zem {
namespace {

// The names of the codes in between become profile keys, which the committed profile files pin.
TEST(CatalogoFunzioni, NamesCoverEveryCode)
{
    EXPECT_EQ(NomeFunzioneIngresso(-2), "");
    EXPECT_EQ(NomeFunzioneIngresso(-1), "* Wrong setup *");
    EXPECT_EQ(NomeFunzioneIngresso(18), "Serial data");
    EXPECT_EQ(NomeFunzioneIngresso(19), "Special function");
    EXPECT_EQ(NomeFunzioneUscita(13), "Load signal");
    EXPECT_EQ(NomeFunzioneUscita(14), "Special function");
}

TEST(CatalogoFunzioni, KeyRule)
{
    const std::pair<const char*, const char*> casi[] = {
        {"  &Start  input: ", "StartInput"}, {"a&&b", "ab"}, {"Check Point &1:", "CheckPoint1"},
        {"x  y", "xy"}, {"ab c", "abc"}, {"", ""}, {"   ", ""}};
    for (const auto& [nome, chiave] : casi) EXPECT_EQ(ChiaveDaNome(nome), chiave) << nome;
}

} // namespace
} // namespace zem
