// Opening a connection and reading the whole configuration (header and six measures) through the
// simulated bridge with the 1.25 Mbaud wire model: the count of exchanges, the simulated time the
// open takes, and the bound the wire itself sets (bytes on the wire x 10 bits / 1,250,000).
#include "sim/ConfigurationImages.h"
#include "sim/SimulatedLink.h"
#include "sim/SimulatedMemory.h"

#include <benchmark/benchmark.h>

namespace {

using namespace zem::sim;

ImageSpec SeiMisure()
{
    ImageSpec s;
    s.name = "BENCH";
    for (int m = 1; m <= 6; ++m) {
        MeasureSpec misura;
        misura.type = 1 + (m - 1) % 4;
        misura.name = "MISURA " + std::to_string(m);
        s.measures.push_back(misura);
    }
    return s;
}

void Apertura(benchmark::State& state, bool mailbox)
{
    SimulatedMemory::Options o;
    o.configurazioneInPRAM = !mailbox;
    const auto image = BuildConfigurationImage(SeiMisure());
    double tempo = 0, limite = 0, scambi = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto sim = std::make_unique<SimulatedLink>();
        SimulatedMemory memory(sim->instrument, o);
        memory.CaricaConfigurazione(image);
        sim->bridge.SetWireTiming({.enabled = true, .latencySeconds = state.range(0) * 1e-6});
        sim->bridge.SetCallDuration(0.0);
        state.ResumeTiming();

        const double t0 = sim->clock.Monotonic();
        if (!sim->link.ApriComunicazioneUSB(SimulatedLink::kSerial) || sim->link.NumeroMisure() != 6) {
            state.SkipWithError("the configuration was not read");
            return;
        }
        tempo = sim->clock.Monotonic() - t0;
        limite = static_cast<double>(sim->bridge.BytesWritten() + sim->bridge.BytesRead()) * 10.0 / 1250000.0;
        scambi = static_cast<double>(sim->instrument.FramesExecuted());
    }
    state.counters["exchanges"] = scambi;
    state.counters["sim_ms"] = tempo * 1000.0;
    state.counters["wire_ms"] = limite * 1000.0;
    state.counters["sim_over_wire"] = limite > 0 ? tempo / limite : 0;
}

void BM_AperturaPRAM(benchmark::State& state) { Apertura(state, false); }
void BM_AperturaMailbox(benchmark::State& state) { Apertura(state, true); }

} // namespace

// Argument: the bridge's latency in microseconds (0 = the wire alone, 1000 = the 1 ms latency timer).
BENCHMARK(BM_AperturaPRAM)->Arg(0)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AperturaMailbox)->Arg(0)->Arg(1000)->Unit(benchmark::kMicrosecond);
