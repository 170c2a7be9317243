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

TEST(CatalogoFunzioni, SplitsPaths)
{
    struct Caso {
        const char* path;
        PercorsoDiviso parti;
    };
    const Caso casi[] = {
        {"C:\\Profili\\Linea 3.zemp", {"C:\\Profili\\", "Linea 3", "zemp"}},
        {"/home/tec/a.b.zemp", {"/home/tec/", "a.b", "zemp"}},
        {"dir.v2/file", {"dir.v2/", "file", ""}},
    };
    for (const auto& c : casi) {
        const auto parti = DividiPercorso(c.path);
        EXPECT_EQ(std::tie(parti.Cartella, parti.Nome, parti.Estensione),
                  std::tie(c.parti.Cartella, c.parti.Nome, c.parti.Estensione)) << c.path;
    }
}

} // namespace
} // namespace zem
