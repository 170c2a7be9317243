// CPU cost of one frame exchange through UCZEM2 against the in-process simulator, with a
// zero-latency line: what the link itself spends building, checking and parsing frames.
#include "sim/SimulatedLink.h"

#include <benchmark/benchmark.h>

namespace {

using zem::sim::SimulatedLink;

void Prepara(SimulatedLink& sim)
{
    sim.bridge.SetCallDuration(0.0);
    sim.endpoint.latencySeconds = 0.0;
    sim.instrument.SetCommand(0x20, [](std::span<const std::uint8_t> a) {
        return std::optional<std::vector<std::uint8_t>>(std::vector<std::uint8_t>(a.begin(), a.end()));
    });
}

void Scambio(benchmark::State& state, bool usb)
{
    SimulatedLink sim;
    Prepara(sim);
    if (!(usb ? sim.OpenUsb() : sim.OpenEth())) {
        state.SkipWithError("the link did not open");
        return;
    }
    const std::vector<std::uint8_t> args(static_cast<std::size_t>(state.range(0)), 0x5A);
    for (auto _ : state) {
        sim.link.PreparaRichiesta(0x20, args);
        if (!sim.link.EseguiComando()) {
            state.SkipWithError("exchange failed");
            return;
        }
        benchmark::DoNotOptimize(sim.link.BufferRX()[1]);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_ScambioUSB(benchmark::State& state) { Scambio(state, true); }
void BM_ScambioEthInProcesso(benchmark::State& state) { Scambio(state, false); }

} // namespace

// Request payloads of 0, 8 and 40 bytes: a one-byte command, a memory read, a long write.
BENCHMARK(BM_ScambioUSB)->Arg(0)->Arg(8)->Arg(40);
BENCHMARK(BM_ScambioEthInProcesso)->Arg(0)->Arg(8)->Arg(40);
