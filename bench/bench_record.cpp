// Recording the pieces of four simulated presses at once on their USB bridges, into the in-memory
// store: the wall time the recorder, the link and the simulator take per piece kept.
//
//   BM_RecordFourPresses/S  one iteration is 20 s of simulated production (a stroke every 2 s per
//                           press, curves of 600 points), S press measures (stations) per
//                           instrument, each making a piece at each stroke. Counters: pieces kept
//                           per wall second (pieces_per_s) and per instrument (per_press_per_s):
//                           the recorder keeps up with an instrument making 10 pieces a second
//                           while that is 10 or more.

#include "record/MemoryPieceStore.h"
#include "record/Recorder.h"
#include "sim/SimulatedPlatform.h"
#include "sim/SimulatedUsbBus.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

constexpr int kPresse = 4;
constexpr double kProduzione = 20.0;

void BM_RecordFourPresses(benchmark::State& state)
{
    zem::sim::SimulatedPlatform platform;
    platform.bridge.SetCallDuration(50e-6);
    zem::sim::SimulatedUsbBus bus{platform.bridge, platform.clock};
    zem::MemoryPieceStore store;
    zem::Recorder recorder(platform.Platform(), store);
    const int stations = static_cast<int>(state.range(0));
    std::vector<std::string> measures;
    for (int s = 1; s <= stations; ++s) measures.push_back("STATION " + std::to_string(s));
    for (int n = 1; n <= kPresse; ++n) {
        const std::string serial = "MR4A000" + std::to_string(n);
        auto& press = bus.Instrument(
            bus.Add({serial, "ZEM MR4 USB", zem::sim::BridgeState::Normal, "LINE " + std::to_string(n), measures, stations}));
        press.Strokes().Avvia();
        if (recorder.Watch("USB: " + serial)) {
            state.SkipWithError("a press could not be watched");
            return;
        }
    }
    for (auto _ : state) {
        for (double t = 0; t < kProduzione; t += zem::Recorder::kTickMs / 1000.0) {
            platform.network.PassTime(zem::Recorder::kTickMs / 1000.0);
            recorder.Tick();
        }
    }
    const double pieces = recorder.Recorded();
    state.counters["pieces"] = pieces;
    state.counters["pieces_per_s"] = benchmark::Counter(pieces, benchmark::Counter::kIsRate);
    state.counters["per_press_per_s"] = benchmark::Counter(pieces / kPresse, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RecordFourPresses)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
