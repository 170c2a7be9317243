#include "link/net/UdpSocket.h"

#include "link/net/WinSockEsclusivo.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zem {

namespace {

std::string DottedAddress(in_addr address)
{
    char text[INET_ADDRSTRLEN] = {};
    if (inet_ntop(AF_INET, &address, text, sizeof text) == nullptr) return {};
    return text;
}

std::optional<std::uint32_t> ParseDotted(const std::string& text)
{
    in_addr address{};
    if (inet_pton(AF_INET, text.c_str(), &address) != 1) return std::nullopt;
    return address.s_addr;
}

} // namespace

UdpSocket::UdpSocket(WinSockEsclusivo* pump, std::string localAddress)
    : localAddress_(std::move(localAddress))
{
    if (pump) pump->Register(*this);
}

UdpSocket::~UdpSocket()
{
    if (pump_) pump_->Unregister(*this);
    if (fd_ >= 0) ::close(fd_);
}

void UdpSocket::SetFd(int fd)
{
    fd_ = fd;
    announced_.reset();
    if (pump_) pump_->SocketDescriptorChanged();
}

void UdpSocket::Close()
{
    connected_ = false;
    if (fd_ < 0) return;
    ::close(fd_);
    SetFd(-1);
}

void UdpSocket::SetProtocol(int protocol)
{
    protocol_ = protocol;
}

void UdpSocket::SetRemoteHost(const std::string& host)
{
    if (host == remoteHost_) return;
    remoteHost_ = host;
    resolved_.reset();
}

void UdpSocket::SetRemotePort(std::uint32_t port)
{
    remotePort_ = port;
}

bool UdpSocket::Open(std::uint16_t localPort)
{
    if (protocol_ != kProtocolUdp) return false;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(localPort);
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (!localAddress_.empty()) {
        const auto address = ParseDotted(localAddress_);
        if (!address) return false;
        local.sin_addr.s_addr = *address;
    }

    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0) return false;
    const int on = 1;
    const int flags = ::fcntl(fd, F_GETFL);
    const bool ready = flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0
                       && ::fcntl(fd, F_SETFD, FD_CLOEXEC) == 0
                       && ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) == 0
                       && ::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
    if (!ready) {
        ::close(fd);
        return false;
    }
    SetFd(fd);
    return !connected_ || ConnectFd();
}

void UdpSocket::Connect()
{
    connected_ = true;
    if (fd_ >= 0) ConnectFd();
}

// The system's own filter; FromPeer stays the rule, so a failed connect only costs more drops.
bool UdpSocket::ConnectFd()
{
    const auto address = RemoteAddress();
    if (!address || remotePort_ == 0 || remotePort_ > 65535) return true;
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(static_cast<std::uint16_t>(remotePort_));
    remote.sin_addr.s_addr = *address;
    return ::connect(fd_, reinterpret_cast<const sockaddr*>(&remote), sizeof remote) == 0;
}

bool UdpSocket::FromPeer(std::uint32_t address, std::uint16_t port)
{
    const auto peer = RemoteAddress();
    return peer && address == *peer && port == remotePort_;
}

bool UdpSocket::Bind(std::uint32_t localPort)
{
    if (localPort > 65535) return false;
    Close();
    return Open(static_cast<std::uint16_t>(localPort));
}

std::uint32_t UdpSocket::LocalPort() const
{
    if (fd_ < 0) return 0;
    sockaddr_in local{};
    socklen_t size = sizeof local;
    if (::getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &size) != 0) return 0;
    return ntohs(local.sin_port);
}

std::string UdpSocket::LocalIP() const
{
    if (!localAddress_.empty() && localAddress_ != "0.0.0.0") return localAddress_;
    // Bound to every interface: report the machine's own address, as a technician reading it off
    // the Ethernet setup window expects; loopback only when there is nothing else.
    ifaddrs* list = nullptr;
    std::string found;
    if (::getifaddrs(&list) == 0) {
        for (const ifaddrs* i = list; i != nullptr && found.empty(); i = i->ifa_next) {
            if (i->ifa_addr == nullptr || i->ifa_addr->sa_family != AF_INET) continue;
            if ((i->ifa_flags & IFF_UP) == 0 || (i->ifa_flags & IFF_LOOPBACK) != 0) continue;
            found = DottedAddress(reinterpret_cast<const sockaddr_in*>(i->ifa_addr)->sin_addr);
        }
        ::freeifaddrs(list);
    }
    return found.empty() ? "127.0.0.1" : found;
}

std::optional<std::uint32_t> UdpSocket::RemoteAddress()
{
    if (resolved_) return resolved_;
    if (remoteHost_.empty()) return std::nullopt;
    resolved_ = ParseDotted(remoteHost_);
    if (resolved_) return resolved_;

    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* result = nullptr;
    if (::getaddrinfo(remoteHost_.c_str(), nullptr, &hints, &result) != 0 || result == nullptr)
        return std::nullopt;
    resolved_ = reinterpret_cast<const sockaddr_in*>(result->ai_addr)->sin_addr.s_addr;
    ::freeaddrinfo(result);
    return resolved_;
}

bool UdpSocket::SendData(std::span<const std::uint8_t> datagram)
{
    if (remotePort_ == 0 || remotePort_ > 65535) return false;
    if (fd_ < 0 && !Open(0)) return false;
    const auto address = RemoteAddress();
    if (!address) return false;

    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(static_cast<std::uint16_t>(remotePort_));
    remote.sin_addr.s_addr = *address;
    ssize_t sent;
    do {
        sent = ::sendto(fd_, datagram.data(), datagram.size(), 0,
                        reinterpret_cast<const sockaddr*>(&remote), sizeof remote);
    } while (sent < 0 && errno == EINTR);
    return sent >= 0 && static_cast<std::size_t>(sent) == datagram.size();
}

std::optional<std::size_t> UdpSocket::Receive()
{
    if (fd_ < 0) return std::nullopt;
    sockaddr_in sender{};
    iovec part{receive_.data(), receive_.size()};
    msghdr message{};
    message.msg_name = &sender;
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    for (;;) {
        message.msg_namelen = sizeof sender;
        const ssize_t got = ::recvmsg(fd_, &message, 0);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return std::nullopt;
        if ((message.msg_flags & MSG_TRUNC) != 0) {
            ++refused_;  // gone as if it had never come; the next one may be fine
            continue;
        }
        if (connected_ && !FromPeer(sender.sin_addr.s_addr, ntohs(sender.sin_port))) {
            ++others_;
            continue;
        }
        announcedSender_ = sender.sin_addr.s_addr;
        return static_cast<std::size_t>(got);
    }
}

std::vector<std::uint8_t> UdpSocket::GetData()
{
    std::optional<std::size_t> size;
    std::swap(size, announced_);
    if (!size) size = Receive();
    if (!size) return {};
    senderIP_ = DottedAddress(in_addr{announcedSender_});
    return {receive_.begin(), receive_.begin() + static_cast<std::ptrdiff_t>(*size)};
}

} // namespace zem
