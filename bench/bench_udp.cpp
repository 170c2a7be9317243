// UDP loopback exchanges per second, at the sizes of a short frame exchange: a 3-byte request
// (02 04 06) answered by 7 bytes (its echo and a reply of two payload bytes).
//
//   BM_BarePingPong           plain blocking sockets on both sides, the answer from a thread: the
//                             floor that loopback itself sets
//   BM_BareAgainstZemsim      a plain blocking client against the zemsim program
//   BM_SocketPumpAgainstZemsim  the link's own channel (UdpSocket, WinSockEsclusivo) against zemsim,
//                             with the pump's idle wait at 1 ms and at its 5 ms default: a wait
//                             shorter than the kernel's tick can cost a timer reprogramming on
//                             every wake, which on a virtual machine shows
//   BM_UCZEM2AgainstZemsim    a whole frame exchange through the link (checksum, echo check,
//                             reply check) against the same zemsim process

#include "link/Clock.h"
#include "link/UCZEM2.h"
#include "link/net/UdpSocket.h"
#include "link/usb/GestioneUSB.h"
#include "sim/SimulatedBridge.h"
#include "link/net/WinSockEsclusivo.h"
#include "sim/ZemsimProcess.h"

#include <array>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdint>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr std::array<std::uint8_t, 3> kRequest{0x02, 0x04, 0x06};
constexpr std::size_t kAnswerSize = 7;

// The zemsim program, started once for every benchmark of the run.
zem::test::ZemsimProcess& Zemsim()
{
    static zem::test::ZemsimProcess process(std::string(ZEM_BINARY_DIR) + "/zemsim", {});
    return process;
}

// A blocking socket bound to 127.0.0.1 whose reads give up after a second.
int LoopbackSocket(std::uint16_t& port)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    timeval timeout{1, 0};
    socklen_t size = sizeof local;
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    ::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &size);
    port = ntohs(local.sin_port);
    return fd;
}

void Connect(int fd, std::uint16_t port)
{
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    remote.sin_port = htons(port);
    ::connect(fd, reinterpret_cast<const sockaddr*>(&remote), sizeof remote);
}

void CountExchanges(benchmark::State& state)
{
    state.counters["exchanges/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// Runs request/answer rounds from a plain blocking client connected to `port`.
void PlainClient(benchmark::State& state, std::uint16_t port)
{
    std::uint16_t own = 0;
    const int client = LoopbackSocket(own);
    Connect(client, port);
    std::array<std::uint8_t, 64> answer{};
    for (auto _ : state) {
        ::send(client, kRequest.data(), kRequest.size(), 0);
        if (::recv(client, answer.data(), answer.size(), 0) != static_cast<ssize_t>(kAnswerSize)) {
            state.SkipWithError("answer missing or of the wrong size");
            break;
        }
    }
    ::close(client);
    CountExchanges(state);
}

void BM_BarePingPong(benchmark::State& state)
{
    std::uint16_t port = 0;
    const int server = LoopbackSocket(port);
    std::atomic<bool> stop{false};
    std::thread pong([&] {
        std::array<std::uint8_t, 64> in{};
        std::array<std::uint8_t, kAnswerSize> out{0x02, 0x04, 0x06, 0x03, 0x00, 0x00, 0x03};
        sockaddr_in from{};
        while (!stop) {
            socklen_t size = sizeof from;
            if (::recvfrom(server, in.data(), in.size(), 0, reinterpret_cast<sockaddr*>(&from), &size) > 0)
                ::sendto(server, out.data(), out.size(), 0, reinterpret_cast<const sockaddr*>(&from), size);
        }
    });
    PlainClient(state, port);
    stop = true;  // the pong's read gives up within a second
    pong.join();
    ::close(server);
}
BENCHMARK(BM_BarePingPong)->UseRealTime();

void BM_BareAgainstZemsim(benchmark::State& state)
{
    if (Zemsim().Port() == 0) {
        state.SkipWithError("zemsim did not start");
        return;
    }
    PlainClient(state, Zemsim().Port());
}
BENCHMARK(BM_BareAgainstZemsim)->UseRealTime();

void BM_SocketPumpAgainstZemsim(benchmark::State& state)
{
    if (Zemsim().Port() == 0) {
        state.SkipWithError("zemsim did not start");
        return;
    }
    zem::WinSockEsclusivo pump(static_cast<int>(state.range(0)));
    zem::UdpSocket socket(&pump, "127.0.0.1");
    socket.SetRemoteHost("127.0.0.1");
    socket.SetRemotePort(Zemsim().Port());
    std::size_t received = 0;
    socket.DataArrival = [&](std::size_t) { received += socket.GetData().size(); };
    for (auto _ : state) {
        received = 0;
        socket.SendData(kRequest);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        while (received < kAnswerSize && std::chrono::steady_clock::now() < deadline) pump.PompaMessaggiSocket();
        if (received != kAnswerSize) {
            state.SkipWithError("answer missing or of the wrong size");
            break;
        }
    }
    CountExchanges(state);
}
BENCHMARK(BM_SocketPumpAgainstZemsim)->ArgName("idleWaitMs")->Arg(1)->Arg(zem::WinSockEsclusivo::kIdleWaitMs)->UseRealTime();

void BM_UCZEM2AgainstZemsim(benchmark::State& state)
{
    if (Zemsim().Port() == 0) {
        state.SkipWithError("zemsim did not start");
        return;
    }
    zem::SystemClock clock;
    zem::sim::FakeClock unused;
    zem::sim::SimulatedBridge noBridges(unused);
    zem::GestioneUSB usb(noBridges, clock);
    zem::WinSockEsclusivo pump;
    zem::UdpSocket socket(&pump, "127.0.0.1");
    zem::UCZEM2 link(clock, usb, pump, socket);
    if (!link.ApriPortaETH("127.0.0.1", Zemsim().Port())) {
        state.SkipWithError("the link did not open");
        return;
    }
    for (auto _ : state) {
        if (!link.InviaComando1Byte(4) || link.BufferRX()[0] != 2) {
            state.SkipWithError("exchange failed");
            break;
        }
    }
    CountExchanges(state);
}
BENCHMARK(BM_UCZEM2AgainstZemsim)->UseRealTime();

} // namespace
