#pragma once

#include "link/net/SocketControl.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zem {

class WinSockEsclusivo;

// The socket control on a POSIX UDP socket. The socket is opened on the first Bind or send and is
// non-blocking; broadcasts are allowed (the Ethernet modules are searched and set up through
// 255.255.255.255). Nothing throws: a failure is a false or empty result. A datagram larger than
// kMaxDatagram is thrown away whole rather than cut, since a cut datagram would look like a
// short but well-formed one.
class UdpSocket final : public SocketControl {
public:
    static constexpr std::size_t kMaxDatagram = 4096;

    // `pump`: the pump that raises DataArrival for this socket (the socket registers itself and
    // leaves it when destroyed); nullptr for none. `localAddress`: the address the socket binds,
    // "" for every interface.
    explicit UdpSocket(WinSockEsclusivo* pump = nullptr, std::string localAddress = {});
    ~UdpSocket() override;
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;

    void Close() override;
    void SetProtocol(int protocol) override;
    void SetRemoteHost(const std::string& host) override;
    void SetRemotePort(std::uint32_t port) override;
    std::string RemoteHost() const override { return remoteHost_; }
    std::uint32_t RemotePort() const override { return remotePort_; }
    bool Bind(std::uint32_t localPort) override;
    std::uint32_t LocalPort() const override;
    std::string LocalIP() const override;

    bool SendData(std::span<const std::uint8_t> datagram) override;
    std::vector<std::uint8_t> GetData() override;
    std::string RemoteHostIP() const override { return senderIP_; }
    // The socket is also connected to the peer, so the system drops most strangers before they
    // reach it; those already queued are dropped here.
    void Connect() override;
    std::uint64_t DatagramsFromOthers() const override { return others_; }

    // The descriptor, -1 while closed.
    int Fd() const { return fd_; }
    // Datagrams thrown away because they were larger than kMaxDatagram.
    std::uint64_t DatagramsRefused() const { return refused_; }

private:
    friend class WinSockEsclusivo;

    bool Open(std::uint16_t localPort);
    std::optional<std::uint32_t> RemoteAddress();
    void SetFd(int fd);
    bool ConnectFd();
    bool FromPeer(std::uint32_t address, std::uint16_t port);  // network order, host order
    // Takes the next datagram off the socket into the receive buffer, for the pump to announce;
    // its size, or nothing when none waits. Oversize datagrams on the way are thrown away.
    std::optional<std::size_t> Receive();

    int fd_ = -1;
    int protocol_ = kProtocolUdp;
    std::string localAddress_;
    std::string remoteHost_;
    std::uint32_t remotePort_ = 0;
    std::optional<std::uint32_t> resolved_;  // remote IPv4 address, network order
    std::string senderIP_;
    std::uint64_t refused_ = 0;
    bool connected_ = false;
    std::uint64_t others_ = 0;
    WinSockEsclusivo* pump_ = nullptr;
    // The datagram the pump has announced and GetData has not yet fetched. Like the socket
    // notification it stands for, no further arrival is announced until it has been fetched.
    std::array<std::uint8_t, kMaxDatagram> receive_{};
    std::optional<std::size_t> announced_;
    std::uint32_t announcedSender_ = 0;
};

} // namespace zem
