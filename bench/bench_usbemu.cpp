// What the real USB stack costs: the send of the template (works cleared) and the memory backup,
// each with the workflow as `zemcli` runs it, over two drivers of one instrument:
//
//   BM_*OverEmulatedBridge   libftdi and our backend on libusb, meeting an emulated FT232R (umockdev)
//                            with the simulated instrument behind it; the machine's clock.
//   BM_*OverSimulatedDriver  the simulated D2XX driver, the link on the simulator's clock.
//
// Reported: the frames the instrument executed (exchanges) and the wall time of one run, the
// instrument restart waits of a send (1 s each on USB) included on the emulated bridge.

#include "link/Clock.h"
#include "link/net/UdpSocket.h"
#include "link/net/WinSockEsclusivo.h"
#include "link/usb/GestioneUSB.h"
#include "link/usb/LibFtdiD2xx.h"
#include "sim/DefaultInstrument.h"
#include "sim/SimulatedPlatform.h"
#include "usbemu/EmulatedSite.h"
#include "usbemu/LineSend.h"
#include "usbemu/Preload.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <functional>

namespace {

using namespace zem;

const bool preloaded = (usbemu::RestartUnderUmockdevPreload(), true);
const std::string kTemplate = std::string(ZEM_BINARY_DIR) + "/Default.ZemP";
const std::string kKey = "USB: MR400012";

// One workflow run over a platform; false when it failed.
using Job = std::function<bool(usbemu::LineSend&, const LinkPlatform&)>;

bool SendJob(usbemu::LineSend& line, const LinkPlatform& platform)
{
    return line.Send(platform, kTemplate, kKey) == SendOutcome::Succeeded;
}

bool BackupJob(usbemu::LineSend& line, const LinkPlatform& platform)
{
    const auto file = std::filesystem::temp_directory_path() / "bench_usbemu.zemmem";
    const bool done = line.Backup(platform, kKey, file.string());
    std::filesystem::remove(file);
    return done;
}

void Report(benchmark::State& state, double seconds, sim::DefaultInstrument& instrument, std::uint64_t before)
{
    state.counters["exchanges"] = static_cast<double>(instrument.Instrument().FramesExecuted() - before);
    state.counters["wall_ms"] = seconds * 1000.0;
}

void OverEmulatedBridge(benchmark::State& state, const Job& job)
{
    usbemu::EmulatedSite site;
    site.Add(*usbemu::Ft232rEeprom::Programmed({0x0403, 0x6001, "ZEM AUTOMATION", "ZEM Automation", "MR400012"}));
    sim::DefaultInstrument& instrument = site.instruments.front();
    SystemClock& clock = site.clock;
    LibFtdiD2xx driver;
    GestioneUSB usb(driver, clock);
    WinSockEsclusivo pump;
    const LinkPlatform platform{clock, usb, pump, [&pump] { return std::unique_ptr<SocketControl>(std::make_unique<UdpSocket>(&pump, "127.0.0.1")); },
                                [] { return std::unique_ptr<SocketControl>(); }, {"127.0.0.1", 9}};
    usbemu::LineSend line;
    for (auto _ : state) {
        const std::uint64_t before = instrument.Instrument().FramesExecuted();
        const auto t0 = std::chrono::steady_clock::now();
        if (!job(line, platform)) {
            state.SkipWithError(("failed: " + line.Last()).c_str());
            return;
        }
        Report(state, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count(), instrument, before);
    }
}

void OverSimulatedDriver(benchmark::State& state, const Job& job)
{
    sim::SimulatedPlatform platform;
    sim::DefaultInstrument instrument(platform.clock);
    ProgramDataNewer eeprom;
    eeprom.SerialNumber = "MR400012";
    platform.bridge.AttachInstrument(platform.bridge.AddDevice({"MR400012", FT_DEVICE_232R, eeprom}), instrument.Instrument());
    platform.bridge.SetCallDuration(1e-6);  // so that the restart waits pass on the simulator's clock
    usbemu::LineSend line;
    for (auto _ : state) {
        const std::uint64_t before = instrument.Instrument().FramesExecuted();
        const auto t0 = std::chrono::steady_clock::now();
        if (!job(line, platform.Platform())) {
            state.SkipWithError(("failed: " + line.Last()).c_str());
            return;
        }
        Report(state, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count(), instrument, before);
    }
}

void BM_SendOverEmulatedBridge(benchmark::State& state) { OverEmulatedBridge(state, SendJob); }
void BM_SendOverSimulatedDriver(benchmark::State& state) { OverSimulatedDriver(state, SendJob); }
void BM_BackupOverEmulatedBridge(benchmark::State& state) { OverEmulatedBridge(state, BackupJob); }
void BM_BackupOverSimulatedDriver(benchmark::State& state) { OverSimulatedDriver(state, BackupJob); }

BENCHMARK(BM_SendOverEmulatedBridge)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_SendOverSimulatedDriver)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_BackupOverEmulatedBridge)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_BackupOverSimulatedDriver)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

} // namespace
