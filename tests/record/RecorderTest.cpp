// The recorder against the simulated press: what it keeps of each piece, an instrument watching two
// stations of a press, a line that falls in the middle of the production, and a recorder that is
// started again on the same store.
#include "record/MemoryPieceStore.h"
#include "record/PieceOfCurve.h"
#include "record/Recorder.h"
#include "tests/curves/CurveSite.h"

namespace zem::test {
namespace {

class Recording : public ::testing::TestWithParam<bool>, public CurveSite {
protected:
    // Beside the press of the curve site, an instrument whose two press measures both make a piece
    // at each stroke.
    Recording() { twin.Strokes().Avvia(); }

    std::string Key() const { return GetParam() ? kUsb : kIp; }
    std::string TwinKey() const { return GetParam() ? "USB: MR4A0002" : "IP:127.0.0.1:7001"; }

    std::unique_ptr<Recorder> Start() { return Start(Key()); }
    std::unique_ptr<Recorder> Start(const std::string& key)
    {
        auto r = std::make_unique<Recorder>(platform.Platform(), store, [this] { return ++wallMs; });
        EXPECT_EQ(r->Watch(key), std::nullopt);
        r->Notice = [this](const std::string&, const std::string& text) { notices.push_back(text); };
        return r;
    }
    void Pass(Recorder& r, double seconds)
    {
        for (double t = 0; t < seconds; t += Recorder::kTickMs / 1000.0) {
            platform.network.PassTime(Recorder::kTickMs / 1000.0);
            r.Tick();
        }
    }
    std::vector<PieceRecord> Stored(std::optional<int> measure = std::nullopt)
    {
        std::vector<PieceRecord> out;
        PieceFilter all;
        all.measure = measure;
        all.withCurves = true;
        store.ForEach(all, [&](const PieceRecord& p) { return out.push_back(p), true; });
        return out;
    }

    sim::DefaultInstrument& twin =
        bus.Instrument(bus.Add({"MR4A0002", "ZEM MR4 USB", sim::BridgeState::Normal, "LINE 2", {"LEFT", "RIGHT"}, 2}));
    sim::InstrumentEndpoint twinEndpoint{platform.network, twin.Instrument(), "127.0.0.1", 7001};
    MemoryPieceStore store;
    std::int64_t wallMs = 1'700'000'000'000;
    std::vector<std::string> notices;
};

TEST_P(Recording, EveryPieceIsKeptWithTheValuesTheCurveWindowShows)
{
    // A second press on the same time shows the same strokes in the curve window.
    CurveSite window;
    CurveMonitor monitor(window.platform.Platform());
    ASSERT_EQ(monitor.Open(GetParam() ? kUsb : kIp), std::nullopt);
    std::vector<CompletedPiece> shown;
    monitor.PieceDone = [&](const CompletedPiece& p) { shown.push_back(p); };
    ASSERT_TRUE(monitor.Start(1));
    window.Pass(monitor, 8.5);

    auto recorder = Start();
    Pass(*recorder, 8.5);
    const auto kept = Stored();
    ASSERT_EQ(kept.size(), 4u);
    ASSERT_EQ(shown.size(), kept.size());
    const auto check = sim::SimulatedStrokes::Lavoro().CheckPoints[1];
    for (std::size_t i = 0; i < kept.size(); ++i) {
        const PieceRecord& r = kept[i];
        EXPECT_TRUE(SamePiece(r, PieceOfCurve(shown[i], monitor.CurrentWork(), {Key(), "LINE 1"})));
        EXPECT_EQ(r.counter, std::int64_t(i + 1));
        EXPECT_GT(r.timeUtcMs, 1'700'000'000'000);
        EXPECT_EQ(r.instrument, Key());
        EXPECT_EQ(r.instrumentName, "LINE 1");
        EXPECT_EQ(r.measureType, 1);
        EXPECT_EQ(r.work, "PRESS FIT");
        EXPECT_EQ(r.verdict, i % 2 ? "rejected" : "good");
        EXPECT_EQ(r.curve.size(), std::size_t(sim::SimulatedStrokes::kPunti));
        ASSERT_EQ(r.results.size(), 3u);
        EXPECT_EQ(r.results[0].name, "Peak force");
        EXPECT_FLOAT_EQ(r.results[0].value, shown[i].results->ForzaPicco);
        EXPECT_EQ(r.results[0].unit, shown[i].units.forza);
        EXPECT_EQ(r.results[2].name, "Check point 1 force");
        EXPECT_EQ(r.results[2].lower, check.ForzaMinima);
        EXPECT_EQ(r.results[2].upper, check.ForzaMassima);
    }
    EXPECT_EQ(recorder->Counts()[0].good, 2);
    EXPECT_EQ(recorder->Counts()[0].rejected, 2);
    EXPECT_EQ(recorder->Counts()[0].lastVerdict, "rejected");
}

// Outages of under a stroke and of most of one, starting at every phase of a stroke, on an
// instrument with one press measure and on one with two: each piece each measure made is kept
// exactly once.
TEST_P(Recording, ALineFaultLosesAndDoublesNothing)
{
    for (sim::DefaultInstrument* instrument : {&press, &twin}) {
        const bool two = instrument == &twin;
        for (const double at : {2.0, 2.3, 2.6, 2.9, 3.2}) {
            for (const double outage : {0.8, 1.7}) {
                SCOPED_TRACE(testing::Message() << (two ? "two measures, " : "") << "fault at " << at << " s for " << outage << " s");
                store = MemoryPieceStore();
                notices.clear();
                const int before = instrument->Strokes().Pezzi();
                auto recorder = Start(two ? TwinKey() : Key());
                Pass(*recorder, at);
                instrument->Instrument().Faults().deaf = true;
                Pass(*recorder, outage);
                instrument->Instrument().Faults().deaf = false;
                Pass(*recorder, 16.0);
                // The piece whose download is under way when the watch ends is not kept yet.
                const int made = instrument->Strokes().Pezzi() - before;
                for (int measure = 1; measure <= (two ? 2 : 1); ++measure) {
                    const auto kept = Stored(measure);
                    ASSERT_GE(kept.size(), std::size_t(made - 1)) << "measure " << measure;
                    ASSERT_LE(kept.size(), std::size_t(made)) << "measure " << measure;
                    for (std::size_t i = 0; i < kept.size(); ++i) {
                        EXPECT_EQ(kept[i].counter, std::int64_t(i + 1));
                        EXPECT_EQ(kept[i].curve.size(), std::size_t(sim::SimulatedStrokes::kPunti));
                        for (std::size_t j = 0; j < i; ++j) EXPECT_FALSE(SamePiece(kept[i], kept[j])) << i << " " << j;
                    }
                }
                EXPECT_FALSE(notices.empty());
                EXPECT_EQ(notices.back(), "Connected again.");
            }
        }
    }
}

// Both stations complete a piece at each stroke: their curves come one after the other, and each
// is kept under its own measure with its own counters and results.
TEST_P(Recording, EveryMeasureOfAnInstrumentIsRecorded)
{
    auto recorder = Start(TwinKey());
    Pass(*recorder, 8.5);
    const auto left = Stored(1), right = Stored(2);
    ASSERT_EQ(left.size(), 4u);
    ASSERT_EQ(right.size(), 4u);
    for (std::size_t i = 0; i < left.size(); ++i) {
        EXPECT_EQ(left[i].counter, right[i].counter);
        EXPECT_EQ(right[i].measure, 2);
        EXPECT_EQ(right[i].verdict, left[i].verdict);
        // The second station presses a little harder than the first.
        EXPECT_NEAR(right[i].results[0].value - left[i].results[0].value, sim::SimulatedStrokes::kPassoMisura / 100.0, 0.02);
        EXPECT_EQ(right[i].curve.size(), std::size_t(sim::SimulatedStrokes::kPunti));
    }
    const auto counts = recorder->Counts();
    ASSERT_EQ(counts.size(), 2u);
    EXPECT_EQ(counts[1].measure, 2);
    EXPECT_EQ(counts[1].good + counts[1].rejected, 4);
}

TEST_P(Recording, CountersContinueAfterTheRecorderIsStartedAgain)
{
    auto first = Start();
    Pass(*first, 4.5);
    first.reset();
    auto second = Start();
    Pass(*second, 4.5);
    const auto kept = Stored();
    ASSERT_GE(kept.size(), 4u);
    for (std::size_t i = 0; i < kept.size(); ++i) EXPECT_EQ(kept[i].counter, std::int64_t(i + 1));
}

INSTANTIATE_TEST_SUITE_P(, Recording, ::testing::Bool(), Canale);

} // namespace
} // namespace zem::test
