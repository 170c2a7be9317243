// Sending a six-measure profile (works cleared) with the send workflow, as the technician's menu
// and `zemcli send` do, over two lines:
//
//   BM_SendToZemsim        UDP on loopback to the zemsim program, on the machine's clock. Reported:
//                          the exchanges (datagrams the link sent), the best time of a send without
//                          the two instrument restart waits (timed at the socket), the bare loopback
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
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "bench/BenchLine.h"
#include "bench/RestartWaits.h"

namespace {

using namespace zem;
using bench::LineHost;
using bench::SeiMisure;

// The link's UDP socket, counting datagrams and timing the restart waits: from a restart's echo
// to the first answer of an identity probe after it.
class CountingSocket final : public SocketControl {
public:
    CountingSocket(WinSockEsclusivo& pump, std::uint64_t& sent, double& waits)
        : sent_(sent), waits_(waits), socket_(&pump, "127.0.0.1")
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
        // count, command, checksum: a restart (13) or an identity probe (1)
        last_ = d.size() == 3 ? d[1] : 0;
        received_ = 0;
        return socket_.SendData(d);
    }
    std::vector<std::uint8_t> GetData() override
    {
        auto data = socket_.GetData();
        if (data.empty()) return data;
        const auto now = std::chrono::steady_clock::now();
        received_ += data.size();
        if (last_ == 13 && !waiting_) {
            waiting_ = true;
            since_ = now;
        } else if (last_ == 1 && waiting_ && received_ > 3) {  // more than the probe's echo
            waiting_ = false;
            waits_ += std::chrono::duration<double>(now - since_).count();
        }
        return data;
    }
private:
    std::uint64_t& sent_;
    double& waits_;
    UdpSocket socket_;
    std::uint8_t last_ = 0;
    std::size_t received_ = 0;
    bool waiting_ = false;
    std::chrono::steady_clock::time_point since_;
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
    SystemClock clock;
    sim::FakeClock unused;
    sim::SimulatedBridge noBridges(unused);
    GestioneUSB usb(noBridges, clock);
    WinSockEsclusivo pump;
    std::uint64_t sent = 0;
    double waits = 0;
    LinkPlatform platform{clock, usb, pump,
                          [&] { return std::unique_ptr<SocketControl>(std::make_unique<CountingSocket>(pump, sent, waits)); },
                          [] { return std::unique_ptr<SocketControl>(); }, {}, {}, false};
    LineHost host;
    MemorySettingsStore settings;
    PasswordGate gate(host, settings);
    TransferProgress& progress = SenzaProgresso();
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
        waits = 0;
        const auto t0 = std::chrono::steady_clock::now();
        if (InvioProfilo(host, platform, gate, progress).Invia(profilo, key) != SendOutcome::Succeeded) {
            state.SkipWithError(("the send failed: " + host.last).c_str());
            return;
        }
        seconds = std::min(seconds, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() - waits);
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
    TransferProgress& progress = SenzaProgresso();
    double seconds = 0, wire = 0, exchanges = 0;
    for (auto _ : state) {
        sim::SimulatedPlatform platform;
        sim::BenchInstrument bench(platform);
        bench::RestartWaits waits(bench.instrument, [&] { return platform.clock.Monotonic(); });
        platform.bridge.SetWireTiming({.enabled = true, .latencySeconds = 1e-3});
        const double t0 = platform.clock.Monotonic();
        if (InvioProfilo(host, platform.Platform(), gate, progress).Invia(profilo, bench.UsbKey())
            != SendOutcome::Succeeded) {
            state.SkipWithError(("the send failed: " + host.last).c_str());
            return;
        }
        seconds = platform.clock.Monotonic() - t0 - waits.Seconds();
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
