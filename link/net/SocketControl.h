#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace zem {

// The UDP socket control the link, the network search and the Ethernet-module setup talk through:
// a remote host and port, one datagram per send, the waiting datagram fetched on request, and a
// data-arrival event raised by the message pump (never from inside a send).
class SocketControl {
public:
    static constexpr int kProtocolUdp = 1;

    virtual ~SocketControl() = default;

    virtual void Close() = 0;                       // errors ignored; the next send reopens
    virtual void SetProtocol(int protocol) = 0;     // only kProtocolUdp is used
    virtual void SetRemoteHost(const std::string& host) = 0;
    virtual void SetRemotePort(std::uint32_t port) = 0;
    virtual std::string RemoteHost() const = 0;
    virtual std::uint32_t RemotePort() const = 0;
    virtual bool Bind(std::uint32_t localPort) = 0;  // 0 = a port chosen by the system
    virtual std::uint32_t LocalPort() const = 0;
    virtual std::string LocalIP() const = 0;

    // Sends one datagram to the remote host and port; false on a socket error.
    virtual bool SendData(std::span<const std::uint8_t> datagram) = 0;
    // The oldest waiting datagram, removed from the socket; empty when none waits.
    virtual std::vector<std::uint8_t> GetData() = 0;
    // Address of the sender of the datagram last fetched by GetData.
    virtual std::string RemoteHostIP() const = 0;

    // From now until Close only the remote host and port are heard: a datagram from any other
    // address or port is dropped and counted, never fetched. The link's socket talks to one
    // instrument, and a reply from anyone else must not pass for its answer.
    virtual void Connect() = 0;
    // Datagrams dropped by Connect's rule since the socket was made.
    virtual std::uint64_t DatagramsFromOthers() const = 0;

    // Raised by the message pump when a datagram has arrived; the argument is its size.
    std::function<void(std::size_t bytesTotal)> DataArrival;
};

// The one-message pump used while the link waits: it takes at most one pending socket
// notification and dispatches it (raising that socket's DataArrival). Nothing else runs inside
// it, so no timer or user event can interleave with an exchange.
class SocketMessagePump {
public:
    virtual ~SocketMessagePump() = default;
    // True when a notification was taken and dispatched.
    virtual bool PompaMessaggiSocket() = 0;
};

} // namespace zem
