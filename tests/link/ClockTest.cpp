#include "link/Clock.h"

#include <gtest/gtest.h>

namespace zem {
namespace {

TEST(TempoScaduto, EndsStrictlyAfterTheLimitAndOnlyPastTheBoundAfterMidnight)
{
    const struct {
        double start, now, limit, wrapBound;
        bool scaduto;
    } casi[] = {
        {100.0, 100.69, 0.7, 4.0, false}, {100.0, 100.71, 0.7, 4.0, true},
        {86399.5, 0.1, 0.7, 4.0, false},  // wrapped: the bound, not the elapsed time, decides
        {86399.5, 3.9, 0.7, 4.0, false},  {86399.5, 4.01, 0.7, 4.0, true},
    };
    for (const auto& c : casi)
        EXPECT_EQ(TempoScaduto(c.start, c.now, c.limit, c.wrapBound), c.scaduto) << c.start << " -> " << c.now;
}

} // namespace
} // namespace zem
