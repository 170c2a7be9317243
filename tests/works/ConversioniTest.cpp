// Engineering values to instrument integers and back: half-to-even rounding, the scalings of each
// kind of value, zero divisors and the field limits.
#include "link/ScalaMisura.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

namespace zem {
namespace {

TEST(Conversioni, HalvesRoundToEven)
{
    const struct {
        double x, atteso;
    } casi[] = {{0.5, 0},   {1.5, 2},   {2.5, 2},       {3.5, 4},      {-0.5, 0},     {-1.5, -2},
                {-2.5, -2}, {2.4999, 2}, {2.5001, 3},   {65535.5, 65536}, {7.0, 7},   {-7.2, -7}};
    for (const auto& c : casi) EXPECT_EQ(ScalaMisura::ArrotondaPari(c.x), c.atteso) << c.x;
}

ScalaMisura Scala()
{
    ScalaMisura s;
    s.gainForza = 0.5f;
    s.decimaliForza = 0;
    s.gainQuota = 0.25f;
    s.decimaliQuota = 2;
    s.gainValore = 2.0f;
    s.decimaliValore = 1;
    s.baseTempo = 20;
    return s;
}

struct Caso {
    const char* nome;
    std::function<double(const ScalaMisura&)> converti;
    double atteso;
};

TEST(Conversioni, EachKindOfValueHasItsScaling)
{
    const Caso casi[] = {
        // value x 10^decimals / gain
        {"value 12.25", [](const ScalaMisura& s) { return s.ValoreARaw(12.25f); }, 61},
        {"value 0.5 is 2.5 raw", [](const ScalaMisura& s) { return s.ValoreARaw(0.5f); }, 2},
        {"value 1.5 is 7.5 raw", [](const ScalaMisura& s) { return s.ValoreARaw(1.5f); }, 8},
        // force x 10^decimals / unit factor / gain
        {"force 1.25 is 2.5 raw", [](const ScalaMisura& s) { return s.ForzaARaw(1.25f); }, 2},
        {"force 1.75 is 3.5 raw", [](const ScalaMisura& s) { return s.ForzaARaw(1.75f); }, 4},
        {"force negative", [](const ScalaMisura& s) { return s.ForzaARaw(-3.0f); }, -6},
        // position, with the decimals of the position transducer
        {"position 1.5", [](const ScalaMisura& s) { return s.QuotaARaw(1.5f); }, 600},
        {"position 0.625", [](const ScalaMisura& s) { return s.QuotaARaw(0.625f); }, 250},
        // a sample every BaseTempo x 50 us = 1 ms
        {"2 s", [](const ScalaMisura& s) { return s.TempoACampioni(2.0f); }, 2000},
        {"prescaled 2 s by 10", [](const ScalaMisura& s) { return s.TempoPrescalatoACampioni(2.0f, 10); }, 200},
        // graph scales: decimals only
        {"scale 12.5 at 1 decimal", [](const ScalaMisura&) { return ScalaMisura::ScalaARaw(12.5f, 1); }, 125},
        {"stop delay 1.25 s", [](const ScalaMisura&) { return ScalaMisura::StopDelayARaw(1.25f); }, 12},
    };
    const ScalaMisura s = Scala();
    for (const Caso& c : casi) EXPECT_EQ(c.converti(s), c.atteso) << c.nome;
}

TEST(Conversioni, TheWayBackGivesTheEngineeringValue)
{
    ScalaMisura s = Scala();
    s.fattoreForza = 2.0;
    s.fattoreTempo = 4.0;
    EXPECT_FLOAT_EQ(s.RawAValore(61), 12.2f);
    EXPECT_EQ(s.ForzaARaw(10.0f), 10.0);  // 10 / factor 2 / gain 0.5
    EXPECT_FLOAT_EQ(s.RawAForza(10), 10.0f);
    EXPECT_FLOAT_EQ(s.RawAQuota(600), 1.5f);
    EXPECT_FLOAT_EQ(s.CampioniATempo(2000), 2.0f);
    EXPECT_EQ(s.TempoPrescalatoACampioni(2.0f, 10), 50.0);
    EXPECT_FLOAT_EQ(s.CampioniATempoPrescalato(50, 10), 2.0f);
}

TEST(Conversioni, NothingToDivideByGivesZero)
{
    const struct {
        const char* nome;
        std::function<void(ScalaMisura&)> guasta;
        std::function<double(const ScalaMisura&)> converti;
    } casi[] = {
        {"value gain", [](ScalaMisura& s) { s.gainValore = 0; }, [](const ScalaMisura& s) { return s.ValoreARaw(3); }},
        {"force gain", [](ScalaMisura& s) { s.gainForza = 0; }, [](const ScalaMisura& s) { return s.ForzaARaw(3); }},
        {"force factor", [](ScalaMisura& s) { s.fattoreForza = 0; }, [](const ScalaMisura& s) { return s.ForzaARaw(3); }},
        {"position gain", [](ScalaMisura& s) { s.gainQuota = 0; }, [](const ScalaMisura& s) { return s.QuotaARaw(3); }},
        {"base period", [](ScalaMisura& s) { s.baseTempo = 0; }, [](const ScalaMisura& s) { return s.TempoACampioni(3); }},
        {"prescaler", [](ScalaMisura&) {}, [](const ScalaMisura& s) { return s.TempoPrescalatoACampioni(3, 0); }},
        {"time factor", [](ScalaMisura& s) { s.fattoreTempo = 0; },
         [](const ScalaMisura& s) { return s.TempoPrescalatoACampioni(3, 10); }},
    };
    for (const auto& c : casi) {
        ScalaMisura s = Scala();
        c.guasta(s);
        EXPECT_EQ(c.converti(s), 0.0) << c.nome << " 0";
    }
}

TEST(Conversioni, FieldsSaturateInsteadOfWrapping)
{
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double raw;
        std::uint16_t parola;
        std::uint8_t byte;
    } casi[] = {{-5, 0, 0},        {0, 0, 0},          {254.5, 254, 254},   {300, 300, 255},
                {65535, 65535, 255}, {70000, 65535, 255}, {inf, 65535, 255}, {-inf, 0, 0},
                {std::nan(""), 0, 0}};
    for (const auto& c : casi) {
        EXPECT_EQ(ScalaMisura::Parola(c.raw), c.parola) << c.raw;
        EXPECT_EQ(ScalaMisura::Byte(c.raw), c.byte) << c.raw;
    }
}

} // namespace
} // namespace zem
