#include "setup/NumeroDigitato.h"
#include "ui/ScriptedHost.h"

#include <gtest/gtest.h>

#include <optional>

namespace zem {
namespace {

TEST(NumeroDigitato, ReadsTheLeadingNumberAndRoundsHalvesToEvenIntoTheField)
{
    struct Case {
        const char* typed;
        double rounded;
        std::optional<std::int16_t> field16;
        std::optional<std::int32_t> fieldSingle;
    };
    const Case cases[] = {
        {"12abc", 12, 12, 12},
        {"", 0, 0, 0},
        {"  -7", -7, -7, -7},
        {"249.5", 250, 250, 250},
        {"248.5", 248, 248, 248},
        {"-0.5", 0, 0, 0},
        {"32767.4", 32767, 32767, 32767},
        {"32767.5", 32768, std::nullopt, 32768},
        {"-32768.5", -32768, -32768, -32768},
        {"-32769", -32769, std::nullopt, -32769},
        {"2147483520", 2147483520.0, std::nullopt, 2147483520},
        {"2147483647", 2147483647.0, std::nullopt, std::nullopt},  // a single makes it 2^31
        {"1e300", 1e300, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        const NumeroDigitato n(c.typed);
        EXPECT_EQ(n.Arrotondato(), c.rounded);
        EXPECT_EQ(n.Intero(), c.field16);
        EXPECT_EQ(n.LungoDaSingolo(), c.fieldSingle);
    }
}

TEST(NumeroDigitato, OnlyAValueThatDoesNotFitTellsTheTechnician)
{
    ui::ScriptedHost host;
    EXPECT_EQ(NumeroDigitato("40000").Intero(host), std::nullopt);
    EXPECT_EQ(NumeroDigitato("400").Intero(host), 400);
    EXPECT_EQ(NumeroDigitato("1e10").LungoDaSingolo(host), std::nullopt);
    ASSERT_EQ(host.Messages().size(), 2u);
    for (const auto& m : host.Messages()) {
        EXPECT_EQ(m.text, "The value is too large.");
        EXPECT_EQ(m.icon, ui::MsgIcon::Exclamation);
    }
}

} // namespace
} // namespace zem
