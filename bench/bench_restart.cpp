// Restarts that end when the instrument is back, seen from the whole send:
//
//   BM_SendOverSimulatedEthernet  the send workflow over the in-process network on simulated time,
//                                 against an instrument that answers 0.3 s after each restart:
//                                 simulated seconds of the whole send, restart waits included
//                                 (target: under 1.5 s), and the restarts it made.
//   BM_ZemcliSendCpu/latency_ms   `zemcli --yes send` over UDP to the zemsim program on the
//                                 machine's clock: wall seconds and the processor time the
//                                 zemcli process used, as a share of the wall time (target: 5 %).
//                                 zemsim answers like the instrument of the other benchmarks (back
//                                 0.3 s after a restart) after `latency_ms`; with 0 it answers at
//                                 once and the run measures nothing but this program's own work.

#include "access/PasswordGate.h"
#include "main/InvioProfilo.h"
#include "main/TransferProgress.h"
#include "profile/ProfiloZem.h"
#include "profile/SettingsStore.h"
#include "sim/BenchInstrument.h"
#include "sim/ZemsimProcess.h"
#include "ui/CommandButton.h"
#include "ui/Form.h"
#include "ui/ScriptedHost.h"
#include "ui/TextBox.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "bench/BenchLine.h"

namespace {

using namespace zem;
using bench::LineHost;
using bench::SeiMisure;


void BM_SendOverSimulatedEthernet(benchmark::State& state)
{
    ProfiloZem profilo;
    if (!profilo.ApriFile(std::string(ZEM_BINARY_DIR) + "/Default.ZemP")) {
        state.SkipWithError("no template");
        return;
    }
    double seconds = 0, restarts = 0;
    for (auto _ : state) {
        sim::SimulatedPlatform platform;
        sim::BenchInstrument bench(platform);
        bench.memory.SetDurataRiavvio([&] { return platform.clock.Monotonic(); }, 0.3);
        ui::ScriptedHost host;
        MemorySettingsStore settings;
        PasswordGate gate(host, settings);
        host.Answer(ui::MsgAnswer::Yes);  // send
        host.OnForm("FPassword", [](ui::Form& f) {
            f.Get<ui::TextBox>("txtPassword").UserType("6150");
            f.Get<ui::CommandButton>("cmdOK").UserClick();
        });
        host.Answer(ui::MsgAnswer::Yes);  // clear the blank memory
        TransferProgress& progress = SenzaProgresso();
        const double t0 = platform.clock.Monotonic();
        if (InvioProfilo(host, platform.Platform(), gate, progress).Invia(profilo, sim::BenchInstrument::UdpKey())
            != SendOutcome::Succeeded) {
            state.SkipWithError("the send failed");
            return;
        }
        seconds = platform.clock.Monotonic() - t0;
        restarts = bench.memory.Riavvii();
    }
    state.counters["sim_s"] = seconds;
    state.counters["restarts"] = restarts;
}
BENCHMARK(BM_SendOverSimulatedEthernet)->Unit(benchmark::kMillisecond)->Iterations(1);

double CpuSeconds(const rusage& r)
{
    return r.ru_utime.tv_sec + r.ru_stime.tv_sec + (r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

void BM_ZemcliSendCpu(benchmark::State& state)
{
    const std::string latency = std::to_string(state.range(0));
    zem::test::ZemsimProcess zemsim(std::string(ZEM_BINARY_DIR) + "/zemsim",
                                    {"--restart-ms", "300", "--latency-ms", latency});
    if (zemsim.Port() == 0) {
        state.SkipWithError("zemsim did not start");
        return;
    }
    const std::string password = std::string(ZEM_BINARY_DIR) + "/bench_restart.password";
    std::ofstream(password) << "6150\n";
    const std::string zemcli = std::string(ZEM_BINARY_DIR) + "/zemcli";
    const std::string profile = std::string(ZEM_BINARY_DIR) + "/Default.ZemP";
    const std::string key = "IP:127.0.0.1:" + std::to_string(zemsim.Port());
    double wall = 0, cpu = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        const pid_t child = ::fork();
        if (child == 0) {
            std::freopen("/dev/null", "w", stdout);
            ::execl(zemcli.c_str(), "zemcli", "--yes", "--password-file", password.c_str(), "send", profile.c_str(),
                    "--to", key.c_str(), "--works", "clear", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        int status = 0;
        rusage usage{};
        ::wait4(child, &status, 0, &usage);
        wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        cpu = CpuSeconds(usage);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("zemcli send failed");
            break;
        }
    }
    std::remove(password.c_str());
    state.counters["wall_s"] = wall;
    state.counters["cpu_s"] = cpu;
    state.counters["cpu_share"] = cpu / wall;
}
BENCHMARK(BM_ZemcliSendCpu)->ArgName("latency_ms")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace
