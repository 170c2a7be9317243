// One 400 ms tick of the diagnosis window's live panels: the transducer readings, the digital
// inputs and outputs and the serial-line status, three exchanges.
//
//   BM_TickZemsim   over UDP loopback against the zemsim program (wall time per tick)
//   BM_TickBridge   through the simulated USB bridge with the 1.25 Mbaud wire model, the argument
//                   being the bridge's latency in microseconds (1000 = its 1 ms latency timer);
//                   the counter sim_ms is the simulated time one tick takes, which must stay under
//                   a tenth of the period (within_budget = 1)

#include "link/Clock.h"
#include "link/UCZEM2.h"
#include "link/net/UdpSocket.h"
#include "link/net/WinSockEsclusivo.h"
#include "link/usb/GestioneUSB.h"
#include "sim/SimulatedLink.h"
#include "sim/ZemsimProcess.h"

#include <benchmark/benchmark.h>

namespace {

constexpr double kPeriodo = 0.4;

bool Tick(zem::UCZEM2& link)
{
    return link.LeggiTrasduttori() && link.LeggiIngressiUscite() && link.LeggiStatoSeriale();
}

void BM_TickZemsim(benchmark::State& state)
{
    static zem::test::ZemsimProcess zemsim(std::string(ZEM_BINARY_DIR) + "/zemsim", {});
    zem::SystemClock clock;
    zem::sim::FakeClock unused;
    zem::sim::SimulatedBridge noBridges(unused);
    zem::GestioneUSB usb(noBridges, clock);
    zem::WinSockEsclusivo pump;
    zem::UdpSocket socket(&pump, "127.0.0.1");
    zem::UCZEM2 link(clock, usb, pump, socket);
    if (zemsim.Port() == 0 || !link.ApriPortaETH("127.0.0.1", zemsim.Port())) {
        state.SkipWithError("zemsim did not answer");
        return;
    }
    for (auto _ : state) {
        if (!Tick(link)) {
            state.SkipWithError("a live-panel exchange failed");
            break;
        }
    }
}
BENCHMARK(BM_TickZemsim)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_TickBridge(benchmark::State& state)
{
    zem::sim::SimulatedLink sim;
    sim.bridge.SetWireTiming({.enabled = true, .latencySeconds = static_cast<double>(state.range(0)) * 1e-6});
    sim.bridge.SetCallDuration(0.0);
    if (!sim.OpenUsb()) {
        state.SkipWithError("the bridge did not open");
        return;
    }
    double simulato = 0;
    for (auto _ : state) {
        const double t0 = sim.clock.Monotonic();
        if (!Tick(sim.link)) {
            state.SkipWithError("a live-panel exchange failed");
            break;
        }
        simulato += sim.clock.Monotonic() - t0;
    }
    const double tick = state.iterations() > 0 ? simulato / static_cast<double>(state.iterations()) : 0;
    state.counters["sim_ms"] = tick * 1000.0;
    state.counters["within_budget"] = tick < kPeriodo / 10 ? 1 : 0;
}
BENCHMARK(BM_TickBridge)->Arg(0)->Arg(1000)->Unit(benchmark::kMicrosecond);

} // namespace
