#pragma once

#include "link/net/UdpSocket.h"
#include "link/net/WinSockEsclusivo.h"

#include <chrono>
#include <cstdint>
#include <poll.h>
#include <vector>

namespace zem::test {

using Bytes = std::vector<std::uint8_t>;

// Waits at most `ms` for a datagram on the socket, without fetching it.
inline bool Readable(const UdpSocket& socket, int ms = 2000)
{
    pollfd p{socket.Fd(), POLLIN, 0};
    return socket.Fd() >= 0 && ::poll(&p, 1, ms) == 1;
}

// The datagrams that reach `socket` through the pump: waits at most `ms` for `count` of them,
// then takes whatever else is already waiting.
inline std::vector<Bytes> Collect(WinSockEsclusivo& pump, UdpSocket& socket, std::size_t count, int ms = 2000)
{
    std::vector<Bytes> got;
    socket.DataArrival = [&](std::size_t) { got.push_back(socket.GetData()); };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (got.size() < count && std::chrono::steady_clock::now() < deadline) pump.PompaMessaggiSocket();
    while (Readable(socket, 0) && pump.PompaMessaggiSocket()) {
    }
    socket.DataArrival = nullptr;
    return got;
}

// A socket on 127.0.0.1 that sends to `port` there.
inline void Aim(UdpSocket& socket, std::uint32_t port)
{
    socket.SetRemoteHost("127.0.0.1");
    socket.SetRemotePort(port);
}

} // namespace zem::test
