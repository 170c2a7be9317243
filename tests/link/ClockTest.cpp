#include "link/Clock.h"
#include "sim/FakeClock.h"

#include <gtest/gtest.h>

namespace zem {
namespace {

struct Caso {
    double start, now, limit, wrapBound;
    bool scaduto;
};

TEST(TempoScaduto, EndsStrictlyAfterTheLimitAndOnlyPastTheBoundAfterMidnight)
{
    const Caso casi[] = {
        {100.0, 100.69, 0.7, 4.0, false},
        {100.0, 100.71, 0.7, 4.0, true},
        {86399.5, 0.1, 0.7, 4.0, false},   // wrapped: the bound, not the elapsed time, decides
        {86399.5, 3.9, 0.7, 4.0, false},
        {86399.5, 4.01, 0.7, 4.0, true},
        {86399.9, 0.5, 1.0, 1.0, false},
        {86399.9, 1.01, 1.0, 1.0, true},
    };
    for (const Caso& c : casi)
        EXPECT_EQ(TempoScaduto(c.start, c.now, c.limit, c.wrapBound), c.scaduto)
            << c.start << " -> " << c.now << " limit " << c.limit;
}

TEST(FakeClock, WrapsAtMidnightWhileItsMonotonicCountGoesOn)
{
    sim::FakeClock clock(86399.0);
    clock.Advance(1.5);
    EXPECT_NEAR(clock.Timer(), 0.5, 1e-9);
    EXPECT_NEAR(clock.Monotonic(), 1.5, 1e-9);
    clock.SetTimeOfDay(12.0);
    EXPECT_NEAR(clock.Timer(), 12.0, 1e-9);
    EXPECT_NEAR(clock.Monotonic(), 1.5, 1e-9);
}

} // namespace
} // namespace zem
