#include "RecordFixture.h"

#include "record/MemoryPieceStore.h"
#include "record/SinceTime.h"
#include "record/Statistics.h"
#include "record/StatisticsCsv.h"

#include <cmath>
#include <numeric>

namespace zem::test {

namespace {

constexpr double kValues[] = {2, 4, 4, 4, 5, 5, 7, 9};  // mean 5, sample sd sqrt(32 / 7)

} // namespace

TEST_F(RecordTest, StatisticsMatchHandComputedValues)
{
    auto store = Open();
    bool added = false;
    for (int c = 1; c <= 8; ++c) {
        store->Add(Piece(c, {kValues[c - 1], 3.0}), added);
        PieceRecord upperOnly = Piece(c, {kValues[c - 1]});
        upperOnly.measure = 2;
        upperOnly.results[0].lower.reset();
        store->Add(upperOnly, added);
    }
    const auto all = Statistics::Compute(*store, {}, {.bins = 7, .trendPoints = 4});
    ASSERT_TRUE(all && all->size() == 2u);
    const MeasureStatistics& m = (*all)[0];
    EXPECT_EQ(m.measure, 1);
    EXPECT_EQ(m.pieces, 8);
    EXPECT_EQ(m.good, 6);
    EXPECT_EQ(m.rejected, 2);
    EXPECT_DOUBLE_EQ(m.rejectRate, 0.25);
    ASSERT_EQ(m.values.size(), 2u);
    const ValueStatistics& v = m.values[0];
    EXPECT_DOUBLE_EQ(v.mean, 5);
    EXPECT_NEAR(v.sd, 2.1380899, 1e-6);
    EXPECT_EQ(v.min, 2);
    EXPECT_EQ(v.max, 9);
    EXPECT_NEAR(v.cp.value_or(0), 0.9354143, 1e-6);   // 12 / (6 sd)
    EXPECT_NEAR(v.cpk.value_or(0), 0.7795119, 1e-6);  // the lower limit is nearer: 5 / (3 sd)
    EXPECT_EQ(v.histogram, (std::vector<std::int64_t>{1, 0, 3, 2, 0, 1, 1}));
    EXPECT_EQ(v.trend, (std::vector<double>{3, 4, 5, 8}));  // pairs, once four points were full
    EXPECT_EQ(v.trendGroup, 2);
    EXPECT_EQ(m.values[1].sd, 0);
    EXPECT_FALSE(m.values[1].cp || m.values[1].cpk) << "no capability without spread";
    EXPECT_EQ(m.values[1].histogram, std::vector<std::int64_t>{8});
    const ValueStatistics& upper = (*all)[1].values[0];
    EXPECT_FALSE(upper.cp);
    EXPECT_NEAR(upper.cpk.value_or(0), 1.0913167, 1e-6);  // 7 / (3 sd)

    const auto late = Statistics::Compute(*store, {.measure = 1, .sinceUtcMs = Piece(5).timeUtcMs});
    ASSERT_TRUE(late && late->size() == 1u);
    EXPECT_EQ((*late)[0].pieces, 4);
    EXPECT_DOUBLE_EQ((*late)[0].values[0].mean, 6.5);
    const std::string csv = StatisticsCsv::Text(*late);
    EXPECT_NE(csv.find("\r\nUSB: MR4A1001,1,4,3,1,0.2500,Value 0,kN,4,6.5000,1.9149,5.00,9.00,0.00,12.00,1.044,0.957\r\n"),
              std::string::npos) << csv;

    // Another store gives the same through its generic reading.
    MemoryPieceStore memory;
    store->ForEach({}, [&](const PieceRecord& p) { return memory.Add(p, added); });
    const auto same = Statistics::Compute(memory, {}, {.bins = 7, .trendPoints = 4});
    ASSERT_TRUE(same);
    EXPECT_EQ(StatisticsCsv::Text(*same), StatisticsCsv::Text(*all));
    EXPECT_EQ((*same)[0].values[0].histogram, v.histogram);
}

TEST_F(RecordTest, ValuesThatAreNotFiniteAreLeftOut)
{
    MemoryPieceStore store;
    bool added = false;
    for (int c = 1; c <= 4; ++c) store.Add(Piece(c, {c == 2 ? INFINITY : c == 3 ? NAN : 10.0 * c}), added);
    const auto all = Statistics::Compute(store, {});
    ASSERT_TRUE(all && all->size() == 1u);
    const ValueStatistics& v = (*all)[0].values.at(0);
    EXPECT_EQ((*all)[0].pieces, 4);
    EXPECT_EQ(v.count, 2);
    EXPECT_DOUBLE_EQ(v.mean, 25);
    EXPECT_EQ(v.max, 40);
    EXPECT_EQ(std::accumulate(v.histogram.begin(), v.histogram.end(), std::int64_t{0}), 2);
}

TEST(SinceTime, TakesUtcDatesTimesAndSpansBack)
{
    constexpr std::int64_t now = 1'796'000'000'000;
    const struct {
        const char* text;
        std::optional<std::int64_t> ms;
    } cases[] = {
        {"2026-12-01", 1'796'083'200'000},
        {"2026-12-01T08:00:00Z", 1'796'112'000'000},
        {"2026-12-01T08:00:00", 1'796'112'000'000},
        {"24h", now - 86'400'000},
        {"7d", now - 7 * 86'400'000LL},
        {"90m", now - 5'400'000},
        {"2026-02-30", std::nullopt},
        {"2026-12-01T24:00:00Z", std::nullopt},
        {"2026-12-1", std::nullopt},
        {"-5d", std::nullopt},
        {"h", std::nullopt},
        {"yesterday", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseSince(c.text, now), c.ms) << c.text;
}

} // namespace zem::test
