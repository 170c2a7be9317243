// The bulk workflows on the simulated USB bridge (1.25 Mbaud, 1 ms latency, simulated time), by
// blocks and by the loader's single bytes (`compat`), configuration in PRAM or behind the mailbox:
//
//   BM_Transfer/workflow/mailbox/compat   workflow 0 send (works cleared), 1 send (works kept),
//                                         2 backup, 3 memory test, 4 import, 5 restore of the
//                                         backup of the profile sent.
//
// Reported: the exchanges (frames the instrument executed), the wire bytes, the simulated seconds
// without the restart waits, the bound and their ratio. The bound is the simulated time (exchanges
// x 1 ms + wire bytes x 8 us) of the fewest frames that move the same bytes: the frames that carry
// no bulk data as they were, PRAM data in 18-byte frames, configuration data through the mailbox
// in transfers of up to 255 bytes that never cross a page (a header, the job and its two status
// polls each); writes of bytes apart in memory take a transfer each.

#include "access/PasswordGate.h"
#include "main/BackupMemoria.h"
#include "main/ImportaProfilo.h"
#include "main/InvioProfilo.h"
#include "main/RipristinoMemoria.h"
#include "main/TestMemoria.h"
#include "main/TransferProgress.h"
#include "profile/ProfiloZem.h"
#include "profile/SettingsStore.h"
#include "sim/BenchInstrument.h"
#include "ui/CommandButton.h"
#include "ui/Form.h"
#include "ui/Host.h"
#include "ui/TextBox.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

#include "bench/BenchLine.h"
#include "bench/RestartWaits.h"

namespace {

using namespace zem;
using bench::LineHost;
using bench::SeiMisure;

std::uint64_t Frames(std::uint64_t bytes, std::uint64_t per) { return (bytes + per - 1) / per; }

// What the instrument executed, sorted into bulk data and the frames around it.
class Tally {
public:
    Tally(sim::BenchInstrument& bench) : memory_(bench.memory)
    {
        for (int code = 0; code < 256; ++code) {
            auto handler = bench.instrument.Command(static_cast<std::uint8_t>(code));
            if (!handler) continue;
            bench.instrument.SetCommand(static_cast<std::uint8_t>(code),
                                        [this, code, handler](std::span<const std::uint8_t> a) {
                                            auto reply = handler(a);
                                            if (counting) Count(code, a, reply);
                                            return reply;
                                        });
        }
    }

    // Exchanges and wire bytes of the fewest frames for the same bytes.
    std::pair<double, double> Bound() const
    {
        double frames = static_cast<double>(controlFrames_), wire = static_cast<double>(controlWire_);
        auto writes = [&](std::uint64_t bytes) {
            const auto f = Frames(bytes, 18);
            frames += static_cast<double>(f), wire += static_cast<double>(2 * (bytes + 7 * f) + 3 * f);
        };
        auto reads = [&](std::uint64_t bytes) {
            const auto f = Frames(bytes, 18);
            frames += static_cast<double>(f), wire += static_cast<double>(16 * f + bytes);
        };
        writes(pramWritten_), reads(pramRead_);
        const auto jobsW = mailboxJobs_, jobsR = Frames(mailboxRead_, 255);
        writes(mailboxWritten_ + 4 * jobsW), writes(4 * jobsR), reads(mailboxRead_);
        frames += static_cast<double>(3 * (jobsW + jobsR)), wire += static_cast<double>(33 * (jobsW + jobsR));
        return {frames, wire};
    }

    bool counting = false;

private:
    void Count(int code, std::span<const std::uint8_t> a, const std::optional<std::vector<std::uint8_t>>& reply)
    {
        const std::uint32_t mb = memory_.Opzioni().indirizzoMailbox;
        const std::uint32_t address = a.size() >= 3 ? a[0] | (a[1] << 8) | (a[2] << 16) : 0;
        const bool inMailbox = !memory_.Opzioni().configurazioneInPRAM && address >= mb && address < mb + 260;
        if ((code == 14 || code == 15) && a.size() >= 4 && !inMailbox) {
            (code == 14 ? pramWritten_ : pramRead_) += a[3];
        } else if (code == 34 && a.size() == 1 && a[0] == 3) {
            mailboxRead_ += memory_.PRAM()[mb + 3];
        } else if (code == 34 && a.size() == 1 && a[0] == 5) {
            // Bytes apart in memory need jobs of their own; a job that goes on from the last one
            // in the same page and within 255 bytes could have been part of it.
            const std::uint32_t at = memory_.PRAM()[mb] | (memory_.PRAM()[mb + 1] << 8);
            const std::size_t n = memory_.PRAM()[mb + 3];
            const bool continues = at == jobEnd_ && at % 256 != 0 && jobLength_ + n <= 255;
            if (!continues) ++mailboxJobs_, jobLength_ = 0;
            jobLength_ += n, jobEnd_ = static_cast<std::uint32_t>(at + n), mailboxWritten_ += n;
        } else if (!(code == 34 || ((code == 14 || code == 15) && inMailbox))) {
            ++controlFrames_;
            controlWire_ += 2 * (a.size() + 3) + (reply ? reply->size() + 2 : 0);  // request, echo, reply
        }
    }

    sim::SimulatedMemory& memory_;
    std::uint64_t pramWritten_ = 0, pramRead_ = 0, mailboxWritten_ = 0, mailboxRead_ = 0;
    std::uint64_t controlFrames_ = 0, controlWire_ = 0;
    std::uint64_t mailboxJobs_ = 0, jobLength_ = 0;
    std::uint32_t jobEnd_ = 0;
};

void BM_Transfer(benchmark::State& state)
{
    const int workflow = static_cast<int>(state.range(0));
    const bool mailbox = state.range(1) != 0;
    const ProfiloZem profilo = SeiMisure();
    LineHost host;
    MemorySettingsStore settings;
    PasswordGate gate(host, settings);
    TransferProgress& progress = SenzaProgresso();
    const std::string file = (std::filesystem::temp_directory_path() / ("bench-" + std::to_string(::getpid()) + ".zemmem")).string();
    for (auto _ : state) {
        sim::SimulatedPlatform site;
        sim::BenchInstrument bench(site, mailbox);
        site.bridge.SetWireTiming({.enabled = true, .latencySeconds = 1e-3});
        LinkPlatform platform = site.Platform();
        platform.singoloByte = state.range(2) != 0;
        Tally tally(bench);
        bench::RestartWaits waits(bench.instrument, [&] { return site.clock.Monotonic(); });
        // Every workflow but the first send meets the profile already sent.
        host.keep = false;
        if (workflow != 0 && InvioProfilo(host, platform, gate, progress).Invia(profilo, bench.UsbKey()) != SendOutcome::Succeeded) {
            state.SkipWithError(("the first send failed: " + host.last).c_str());
            return;
        }
        host.keep = workflow == 1;
        if (workflow == 5 && BackupMemoria(host, platform, progress).Esporta(bench.UsbKey(), file, "") != BackupMemoria::Esito::Completato) {
            state.SkipWithError(("the backup failed: " + host.last).c_str());
            return;
        }
        const std::uint64_t frames0 = bench.instrument.FramesExecuted();
        const std::uint64_t wire0 = site.bridge.BytesWritten() + site.bridge.BytesRead();
        const double waits0 = waits.Seconds();
        const double t0 = site.clock.Monotonic();
        tally.counting = true;
        bool ok = false;
        switch (workflow) {
        case 0:
        case 1: ok = InvioProfilo(host, platform, gate, progress).Invia(profilo, bench.UsbKey()) == SendOutcome::Succeeded; break;
        case 2: ok = BackupMemoria(host, platform, progress).Esporta(bench.UsbKey(), file, "") == BackupMemoria::Esito::Completato; break;
        case 3: ok = TestMemoria(host, platform, progress).Esegui(bench.UsbKey()) == TestMemoria::Esito::Superato; break;
        case 5: ok = RipristinoMemoria(host, platform, gate, progress).Ripristina(bench.UsbKey(), file, "") == RipristinoMemoria::Esito::Completato; break;
        default: ok = ImportaProfilo(host, platform).Run(ProfiloZem{}, bench.UsbKey()).profilo.has_value(); break;
        }
        tally.counting = false;
        if (!ok) {
            state.SkipWithError(("the workflow failed: " + host.last).c_str());
            return;
        }
        const double seconds = site.clock.Monotonic() - t0 - (waits.Seconds() - waits0);
        const auto [frames, wire] = tally.Bound();
        const double bound = frames * 1e-3 + wire * 8e-6;
        state.counters["exchanges"] = static_cast<double>(bench.instrument.FramesExecuted() - frames0);
        state.counters["wire_bytes"] = static_cast<double>(site.bridge.BytesWritten() + site.bridge.BytesRead() - wire0);
        state.counters["sim_s"] = seconds;
        state.counters["bound_s"] = bound;
        state.counters["ratio"] = seconds / bound;
    }
    std::filesystem::remove(file);
}
BENCHMARK(BM_Transfer)
    ->ArgsProduct({{0, 1, 2, 3, 4, 5}, {0, 1}, {0, 1}})
    ->ArgNames({"workflow", "mailbox", "compat"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace
