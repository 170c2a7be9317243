// What the plot control hands the renderer, and the CSV a piece becomes, byte for byte.
#include "diagnosis/CurveCsv.h"
#include "link/UCZEM2.h"
#include "ui/Plot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace zem::test {
namespace {

using P = ui::Plot::Point;

TEST(PlotDecimation, TenCurvesOfTheLongestKindShrinkToAFewPointsAPixelAndKeepTheirPeaks)
{
    const int n = UCZEM2::NumeroMassimoPuntiCurva();
    std::vector<P> curva;
    for (int i = 0; i < n; ++i) curva.push_back({i * 0.001, std::sin(i * 0.01) + (i == 123457 ? 5.0 : 0.0)});
    std::size_t disegnati = 0;
    for (int c = 0; c < 10; ++c) {
        const auto d = ui::Plot::Decimate(curva, 0, n * 0.001, 800);
        disegnati += d.size();
        EXPECT_EQ(d.front(), curva.front());
        EXPECT_EQ(d.back(), curva.back());
        EXPECT_TRUE(std::is_sorted(d.begin(), d.end(), [](P a, P b) { return a.x < b.x; }));
        EXPECT_EQ(std::max_element(d.begin(), d.end(), [](P a, P b) { return a.y < b.y; })->y, curva[123457].y);
    }
    EXPECT_LE(disegnati, 10u * 4 * 801);
    const std::vector<P> corta{{0, 1}, {1, 2}, {2, 0}};
    EXPECT_EQ(ui::Plot::Decimate(corta, 0, 2, 1), corta);  // few points are drawn as they are
}

TEST(PlotAxes, TicksFallOnRoundValuesInsideTheAxis)
{
    const struct {
        double min, max;
        std::vector<double> ticks;
    } casi[] = {{-15, 315, {0, 100, 200, 300}}, {-2.1, 40.2, {0, 10, 20, 30, 40}}, {0.3, 0.9, {0.4, 0.6, 0.8}}};
    for (const auto& c : casi) {
        const auto t = ui::Plot::Ticks({c.min, c.max, ""}, 5);
        ASSERT_EQ(t.size(), c.ticks.size()) << c.min << ".." << c.max;
        for (std::size_t i = 0; i < t.size(); ++i) EXPECT_NEAR(t[i], c.ticks[i], 1e-9);
    }
}

TEST(PieceCsv, AHeaderThenOneLinePerPointWithTheResultsOnTheFirst)
{
    CompletedPiece p;
    p.forceDecimals = 1;
    p.curve = std::vector<CompletedPiece::Point>{{0.0f, -0.01f}, {12.5f, 3.25f}, {25.125f, 7.0f}};
    RisultatiMisura r;
    r.ForzaPicco = 7.0f;
    r.QuotaPicco = 25.125f;
    r.CauseScarto = 3;
    p.results = r;
    const std::string header = "position,force,result,peak position,peak force,reject causes,check-point rejects\r\n";
    EXPECT_EQ(CurveCsv::Text(p), header + "0.00,0.0,rejected,25.12,7.0,3,0\r\n12.50,3.2,,,,,\r\n25.12,7.0,,,,,\r\n");
    // Without a curve: one line, empty position and force; without results, empty result fields.
    p.curve.reset();
    p.results.reset();
    EXPECT_EQ(CurveCsv::Text(p), header + ",,no results,,,,\r\n");
    EXPECT_EQ(CurveCsv::Numbered("/tmp/curves/press.csv", 12), "/tmp/curves/press-12.csv");
}

} // namespace
} // namespace zem::test
