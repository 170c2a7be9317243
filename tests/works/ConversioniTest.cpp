// Engineering values to instrument integers and back: half-to-even rounding, the scalings of each
// kind of value, zero divisors and the field limits.
#include "link/ScalaMisura.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <tuple>

namespace zem {
namespace {

TEST(Conversioni, HalvesRoundToEven)
{
    const std::pair<double, double> casi[] = {{0.5, 0},     {1.5, 2},       {2.5, 2},          {-0.5, 0}, {-1.5, -2},
                                              {2.4999, 2}, {2.5001, 3}, {65535.5, 65536}, {-7.2, -7}};
    for (const auto& [x, atteso] : casi) EXPECT_EQ(ScalaMisura::ArrotondaPari(x), atteso) << x;
}

const ScalaMisura kScala{.gainForza = 0.5f, .gainQuota = 0.25f, .gainValore = 2.0f, .decimaliForza = 0,
                         .decimaliQuota = 2, .decimaliValore = 1, .baseTempo = 20};

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
        {"value 1.5 is 7.5 raw", [](const ScalaMisura& s) { return s.ValoreARaw(1.5f); }, 8},
        // force x 10^decimals / unit factor / gain
        {"force 1.25 is 2.5 raw", [](const ScalaMisura& s) { return s.ForzaARaw(1.25f); }, 2},
        {"force 1.75 is 3.5 raw", [](const ScalaMisura& s) { return s.ForzaARaw(1.75f); }, 4},
        // position, with the decimals of the position transducer
        {"position 1.5", [](const ScalaMisura& s) { return s.QuotaARaw(1.5f); }, 600},
        // a sample every BaseTempo x 50 us = 1 ms
        {"2 s", [](const ScalaMisura& s) { return s.TempoACampioni(2.0f); }, 2000},
        {"prescaled 2 s by 10", [](const ScalaMisura& s) { return s.TempoPrescalatoACampioni(2.0f, 10); }, 200},
        // graph scales: decimals only
        {"scale 12.5 at 1 decimal", [](const ScalaMisura&) { return ScalaMisura::ScalaARaw(12.5f, 1); }, 125},
        {"stop delay 1.25 s", [](const ScalaMisura&) { return ScalaMisura::StopDelayARaw(1.25f); }, 12},
    };
    for (const Caso& c : casi) EXPECT_EQ(c.converti(kScala), c.atteso) << c.nome;
}

TEST(Conversioni, FieldsSaturateInsteadOfWrapping)
{
    const double inf = std::numeric_limits<double>::infinity();
    const std::tuple<double, int, int> casi[] = {{-5, 0, 0},          {254.5, 254, 254}, {300, 300, 255}, {70000, 65535, 255},
                                                 {inf, 65535, 255}, {std::nan(""), 0, 0}};
    for (const auto& [raw, parola, byte] : casi)
        EXPECT_EQ(std::pair(int{ScalaMisura::Parola(raw)}, int{ScalaMisura::Byte(raw)}), std::pair(parola, byte)) << raw;
}

} // namespace
} // namespace zem
