// Watching a press through the curve workflow: pieces with their curves and results, the work the
// instrument holds, and what happens when a download or the instrument fails.
#include "tests/curves/CurveSite.h"

namespace zem::test {
namespace {

class Watch : public ::testing::TestWithParam<bool>, public CurveSite {
protected:
    void SetUp() override
    {
        ASSERT_EQ(monitor.Open(GetParam() ? kUsb : kIp), std::nullopt);
        monitor.PieceDone = [this](const CompletedPiece& p) { pieces.push_back(p); };
    }

    CurveMonitor monitor{platform.Platform()};
    std::vector<CompletedPiece> pieces;
};

TEST_P(Watch, AGoodAndARejectedStrokeComeWithTheirCurvesAndResults)
{
    ASSERT_EQ(monitor.Measures(), std::vector<int>{1});
    ASSERT_TRUE(monitor.Start(1));
    Pass(monitor, 4.5);
    ASSERT_EQ(pieces.size(), 2u);
    const auto& good = pieces[0];
    const auto& bad = pieces[1];
    EXPECT_EQ(good.number, 1);
    ASSERT_TRUE(good.curve && bad.curve);
    ASSERT_EQ(good.curve->size(), std::size_t(sim::SimulatedStrokes::kPunti));
    EXPECT_FLOAT_EQ(good.curve->front().position, 180.0f);
    EXPECT_FLOAT_EQ(good.curve->back().position, 300.0f);
    EXPECT_EQ(good.Verdict(), "good");
    EXPECT_NEAR(good.results->ForzaPicco, 30.0, 1.0);
    EXPECT_FLOAT_EQ(good.results->ForzaPicco, good.curve->back().force);
    EXPECT_EQ(bad.Verdict(), "rejected");
    EXPECT_EQ(bad.results->CauseScarto, sim::SimulatedStrokes::kSopraFascia);
    EXPECT_EQ(bad.results->CauseScartoCheckPoint, 1);
    EXPECT_NEAR(bad.results->ForzaPicco, 38.0, 1.0);
}

TEST_P(Watch, TheEnvelopeIsTheOneOfTheWorkTheInstrumentRuns)
{
    ASSERT_TRUE(monitor.Start(1));
    const auto& w = monitor.CurrentWork();
    ASSERT_TRUE(w.read);
    EXPECT_EQ(w.name, "PRESS FIT");
    const FaseLavoro held = sim::SimulatedStrokes::Lavoro();
    ASSERT_EQ(w.upper.size(), held.BordoSuperiore.size());
    ASSERT_EQ(w.lower.size(), held.BordoInferiore.size());
    for (std::size_t i = 0; i < w.upper.size(); ++i) {
        EXPECT_FLOAT_EQ(w.upper[i].Quota, held.BordoSuperiore[i].Quota);
        // Forces along a border are stored as the slopes reach them: within a raw unit or two.
        EXPECT_NEAR(w.upper[i].Forza, held.BordoSuperiore[i].Forza, 0.05);
        EXPECT_FLOAT_EQ(w.lower[i].Quota, held.BordoInferiore[i].Quota);
        EXPECT_NEAR(w.lower[i].Forza, held.BordoInferiore[i].Forza, 0.05);
    }
    ASSERT_EQ(w.checkPoints.size(), 1u);
    EXPECT_EQ(w.checkPoints[0], held.CheckPoints[1]);
}

TEST_P(Watch, ADownloadThatFailsMidCurveGivesNoCurveAndTheNextPieceComesWhole)
{
    press.Curves().cutAt = 1000;
    std::size_t arrived = 0;
    monitor.Link().NuoviPunti = [&](int, std::int32_t, std::int32_t n) { arrived += std::size_t(n); };
    ASSERT_TRUE(monitor.Start(1));
    Pass(monitor, 1.5);
    EXPECT_EQ(arrived, 1000u / 5);
    // Four silent periods abandon the download; the stream is whole again afterwards.
    Pass(monitor, 12.0);
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_FALSE(pieces[0].curve);
    EXPECT_EQ(pieces[0].Verdict(), "good");
    press.Curves().cutAt.reset();
    Pass(monitor, 4.0);
    ASSERT_GE(pieces.size(), 2u);
    EXPECT_EQ(pieces.back().curve->size(), std::size_t(sim::SimulatedStrokes::kPunti));
}

TEST_P(Watch, ClosingStopsThePollingAndClosesTheLinkEvenMidDownload)
{
    ASSERT_TRUE(monitor.Start(1));
    press.Curves().silentStream = true;
    Pass(monitor, 1.6);
    const auto frames = press.Instrument().FramesExecuted();
    monitor.Close();
    EXPECT_FALSE(monitor.Link().Collegato());
    EXPECT_FALSE(monitor.Link().InRicezione());
    EXPECT_FALSE(monitor.Link().InPolling());
    Pass(monitor, 5.0);
    EXPECT_EQ(press.Instrument().FramesExecuted(), frames);
    EXPECT_TRUE(pieces.empty());
}

INSTANTIATE_TEST_SUITE_P(Canali, Watch, ::testing::Bool(), Canale);

TEST(WatchOpening, KeysAndInstrumentsThatCannotBeWatchedSayWhy)
{
    CurveSite site;
    CurveMonitor monitor(site.platform.Platform());
    EXPECT_EQ(monitor.Open("MAC: 00-50-C2-5A-10-01"), "Communication error");
    EXPECT_EQ(monitor.Open("USB: NOSUCH"), "Communication error");
    site.press.Memory().SetUpdateMode(true);
    EXPECT_EQ(monitor.Open(CurveSite::kUsb), "Curves are not possible in update mode.\r\nSetting and send profile first.");
    EXPECT_FALSE(monitor.Link().Collegato());
}

} // namespace
} // namespace zem::test
