// Sending a six-measure profile (works cleared) with the send workflow, as the technician's menu
// and `zemcli send` do, over two lines:
//
//   BM_SendToZemsim        UDP on loopback to the zemsim program, on the machine's clock. Reported:
//                          the exchanges (datagrams the link sent), the best time of a send without
//                          the two instrument restart waits (the clock skips them), the bare loopback
//                          round trip to zemsim and the link's own exchange of that size (a
//                          one-byte read) measured just before, and the ratios of the send's time
//                          to exchanges x each: what the workflow costs beyond the line and the link.
//   BM_SendThroughBridge   the simulated USB bridge with the 1.25 Mbaud wire and a 1 ms latency, on
//                          simulated time: exchanges, time without the restart waits, and its ratio
//                          to the wire bound (bytes on the wire x 10 bits / 1,250,000) and to
//                          exchanges x 1 ms.

#include "access/PasswordGate.h"
#include "link/Clock.h"
#include "link/UCZEM2.h"
#include "link/net/UdpSocket.h"
#include "link/net/WinSockEsclusivo.h"
#include "link/usb/GestioneUSB.h"
#include "main/InvioProfilo.h"
#include "main/TransferProgress.h"
#include "profile/ProfiloZem.h"
#include "profile/SettingsStore.h"
#include "sim/BenchInstrument.h"
#include "sim/ZemsimProcess.h"
#include "ui/CommandButton.h"
#include "ui/Form.h"
#include "ui/Host.h"
#include "ui/TextBox.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "bench/BenchLine.h"

namespace {

using namespace zem;
using bench::LineHost;
using bench::NoProgress;
using bench::SeiMisure;

// The machine's clock, which jumps over an instrument's restart wait: once the restart's echo is
// in, its second reading (the first is where the wait starts) is ten and a half seconds later.
class SkippingClock final : public Clock {
public:
    double Timer() override
    {
        if (echoed_ && ++readings_ == 2) {
            skipped_ += 10.5;
            echoed_ = false;
        }
        return std::fmod(real_.Timer() + skipped_, kSecondsPerDay);
    }
    void RestartEchoed()
    {
        echoed_ = true;
        readings_ = 0;
    }

private:
    SystemClock real_;
    double skipped_ = 0;
    bool echoed_ = false;
    int readings_ = 0;
};

// The link's UDP socket, counting datagrams and telling the clock when a restart was taken.
class CountingSocket final : public SocketControl {
public:
    CountingSocket(WinSockEsclusivo& pump, SkippingClock& clock, std::uint64_t& sent)
        : sent_(sent), socket_(&pump, "127.0.0.1"), clock_(clock)
    {
        socket_.DataArrival = [this](std::size_t n) { if (DataArrival) DataArrival(n); };
    }
    void Close() override { socket_.Close(); }
    void SetProtocol(int p) override { socket_.SetProtocol(p); }
    void SetRemoteHost(const std::string& h) override { socket_.SetRemoteHost(h); }
    void SetRemotePort(std::uint32_t p) override { socket_.SetRemotePort(p); }
    std::string RemoteHost() const override { return socket_.RemoteHost(); }
    std::uint32_t RemotePort() const override { return socket_.RemotePort(); }
    bool Bind(std::uint32_t p) override { return socket_.Bind(p); }
    std::uint32_t LocalPort() const override { return socket_.LocalPort(); }
    std::string LocalIP() const override { return socket_.LocalIP(); }
    std::string RemoteHostIP() const override { return socket_.RemoteHostIP(); }
    void Connect() override { socket_.Connect(); }
    std::uint64_t DatagramsFromOthers() const override { return socket_.DatagramsFromOthers(); }
    bool SendData(std::span<const std::uint8_t> d) override
    {
        ++sent_;
        restart_ = d.size() == 3 && d[1] == 13;  // count, command 13, checksum
        return socket_.SendData(d);
    }
    std::vector<std::uint8_t> GetData() override
    {
        auto data = socket_.GetData();
        if (restart_ && !data.empty()) {
            restart_ = false;
            clock_.RestartEchoed();
        }
        return data;
    }
private:
    std::uint64_t& sent_;
    UdpSocket socket_;
    SkippingClock& clock_;
    bool restart_ = false;
};

zem::test::ZemsimProcess& Zemsim()
{
    static zem::test::ZemsimProcess process(std::string(ZEM_BINARY_DIR) + "/zemsim", {});
    return process;
}

// Seconds of one plain request and answer (02 04 06, seven bytes back) between blocking sockets:
// the best of ten batches, as the machine is shared.
double BareRoundTrip(std::uint16_t port)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    remote.sin_port = htons(port);
    ::connect(fd, reinterpret_cast<const sockaddr*>(&remote), sizeof remote);
    const std::array<std::uint8_t, 3> request{0x02, 0x04, 0x06};
    std::array<std::uint8_t, 64> answer{};
    constexpr int kRounds = 200;
    double best = 1.0;
    for (int batch = 0; batch < 10; ++batch) {
        const auto t0 = std::chrono::steady_clock::now();
        for (int i = 0; i < kRounds; ++i) {
            ::send(fd, request.data(), request.size(), 0);
            ::recv(fd, answer.data(), answer.size(), 0);
        }
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() / kRounds);
    }
    ::close(fd);
    return best;
}

void BM_SendToZemsim(benchmark::State& state)
{
    if (Zemsim().Port() == 0) {
        state.SkipWithError("zemsim did not start");
        return;
    }
    SkippingClock clock;
    sim::FakeClock unused;
    sim::SimulatedBridge noBridges(unused);
    GestioneUSB usb(noBridges, clock);
    WinSockEsclusivo pump;
    std::uint64_t sent = 0;
    LinkPlatform platform{clock, usb, pump,
                          [&] { return std::unique_ptr<SocketControl>(std::make_unique<CountingSocket>(pump, clock, sent)); },
                          [] { return std::unique_ptr<SocketControl>(); }, {}, {}, false};
    LineHost host;
    MemorySettingsStore settings;
    PasswordGate gate(host, settings);
    NoProgress progress;
    const ProfiloZem profilo = SeiMisure();
    const std::string key = "IP:127.0.0.1:" + std::to_string(Zemsim().Port());
    const double roundTrip = BareRoundTrip(Zemsim().Port());
    // The link's own exchange of the send's size (a one-byte configuration read) on the same channel.
    double linkTrip = 0;
    {
        auto own = platform.createLinkSocket();
        UCZEM2 link(clock, usb, pump, *own);
        if (!link.ApriPortaETH("127.0.0.1", Zemsim().Port())) {
            state.SkipWithError("the link did not open");
            return;
        }
        constexpr int kRounds = 200;
        linkTrip = 1.0;
        for (int batch = 0; batch < 10; ++batch) {
            const auto t0 = std::chrono::steady_clock::now();
            for (int i = 0; i < kRounds; ++i) link.ReadConfig1Byte(0x100);
            linkTrip = std::min(linkTrip, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() / kRounds);
        }
        link.ChiudiComunicazione();
    }
    double seconds = 1e9, exchanges = 0;
    for (auto _ : state) {
        sent = 0;
        const auto t0 = std::chrono::steady_clock::now();
        if (InvioProfilo(host, platform, gate, progress).Invia(profilo, key) != SendOutcome::Succeeded) {
            state.SkipWithError(("the send failed: " + host.last).c_str());
            return;
        }
        seconds = std::min(seconds, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
        exchanges = static_cast<double>(sent);
    }
    state.counters["exchanges"] = exchanges;
    state.counters["send_ms"] = seconds * 1000.0;
    state.counters["bare_rtt_us"] = roundTrip * 1e6;
    state.counters["link_rtt_us"] = linkTrip * 1e6;
    state.counters["over_exchanges_x_rtt"] = seconds / (exchanges * roundTrip);
    state.counters["over_exchanges_x_link_rtt"] = seconds / (exchanges * linkTrip);
}
BENCHMARK(BM_SendToZemsim)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_SendThroughBridge(benchmark::State& state)
{
    const ProfiloZem profilo = SeiMisure();
    LineHost host;
    MemorySettingsStore settings;
    PasswordGate gate(host, settings);
    NoProgress progress;
    double seconds = 0, wire = 0, exchanges = 0;
    for (auto _ : state) {
        sim::SimulatedPlatform platform;
        sim::BenchInstrument bench(platform);
        // Each driver call costs a microsecond, so that the restart waits (1 s each) pass.
        platform.bridge.SetCallDuration(1e-6);
        platform.bridge.SetWireTiming({.enabled = true, .latencySeconds = 1e-3});
        const double t0 = platform.clock.Monotonic();
        if (InvioProfilo(host, platform.Platform(), gate, progress).Invia(profilo, bench.UsbKey())
            != SendOutcome::Succeeded) {
            state.SkipWithError(("the send failed: " + host.last).c_str());
            return;
        }
        seconds = platform.clock.Monotonic() - t0 - bench.memory.Riavvii() * 1.0;
        wire = static_cast<double>(platform.bridge.BytesWritten() + platform.bridge.BytesRead()) * 10.0 / 1250000.0;
        exchanges = static_cast<double>(bench.instrument.FramesExecuted());
    }
    state.counters["exchanges"] = exchanges;
    state.counters["sim_s"] = seconds;
    state.counters["wire_s"] = wire;
    state.counters["over_wire"] = seconds / wire;
    state.counters["over_exchanges_x_1ms"] = seconds / (exchanges * 1e-3);
}
BENCHMARK(BM_SendThroughBridge)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace
