#include "sim/UdpModuleServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <string>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zem::sim {

namespace {

constexpr int kMaxDatagramsPerPoll = 64;

bool MakeNonBlocking(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0
           && ::fcntl(fd, F_SETFD, FD_CLOEXEC) == 0;
}

// The host-order loopback address of a dotted text, or nothing outside 127.0.0.0/8.
std::optional<std::uint32_t> LoopbackAddress(const std::string& text)
{
    in_addr address{};
    if (::inet_pton(AF_INET, text.c_str(), &address) != 1) return std::nullopt;
    const std::uint32_t host = ntohl(address.s_addr);
    if ((host >> 24) != 127) return std::nullopt;
    return host;
}

} // namespace

UdpModuleServer::UdpModuleServer(SimulatedModules& modules, Clock& clock, std::uint16_t port)
    : modules_(modules), clock_(clock), requestedPort_(port), receive_(UdpInstrumentServer::kMaxDatagram)
{
}

UdpModuleServer::~UdpModuleServer()
{
    Stop();
    for (const int fd : {fd_, wake_[0], wake_[1]})
        if (fd >= 0) ::close(fd);
}

bool UdpModuleServer::Open()
{
    if (fd_ >= 0) return true;
    for (std::size_t i = instruments_.size(); i < modules_.Count(); ++i) {
        SimulatedModule& module = modules_[i];
        const auto address = LoopbackAddress(module.Identity().ip);
        if (!address || module.Identity().dataPort > 65535) return false;
        UdpInstrumentServer::Options options;
        options.address = *address;
        options.port = static_cast<std::uint16_t>(module.Identity().dataPort);
        auto server = std::make_unique<UdpInstrumentServer>(module.Instrument().Instrument(), clock_, options);
        if (!server->Open()) return false;
        module.SetDataPort(server->Port());
        instruments_.push_back(std::move(server));
    }

    if (wake_[0] < 0) {
        int pipeFds[2];
        if (::pipe(pipeFds) != 0) return false;
        wake_[0] = pipeFds[0];
        wake_[1] = pipeFds[1];
    }
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0) return false;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(requestedPort_);
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof local;
    if (!MakeNonBlocking(fd) || !MakeNonBlocking(wake_[0]) || !MakeNonBlocking(wake_[1])
        || ::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0
        || ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &size) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    port_ = ntohs(local.sin_port);
    return true;
}

int UdpModuleServer::Poll(double maxWaitSeconds)
{
    int received = PollCommands(maxWaitSeconds);
    for (auto& instrument : instruments_) received += instrument->Poll(0.0);
    return received;
}

int UdpModuleServer::PollCommands(double maxWaitSeconds)
{
    if (fd_ < 0) return 0;
    const double ms = std::ceil(std::max(0.0, maxWaitSeconds) * 1000.0);
    pollfd fds[2] = {{fd_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
    if (::poll(fds, 2, ms > 1e6 ? 1000000 : static_cast<int>(ms)) <= 0 || (fds[0].revents & POLLIN) == 0)
        return 0;

    int count = 0;
    for (int i = 0; i < kMaxDatagramsPerPoll; ++i) {
        sockaddr_in sender{};
        socklen_t senderSize = sizeof sender;
        const ssize_t got = ::recvfrom(fd_, receive_.data(), receive_.size(), MSG_TRUNC,
                                       reinterpret_cast<sockaddr*>(&sender), &senderSize);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) break;
        ++count;
        if (static_cast<std::size_t>(got) > receive_.size()) continue;  // no module takes that
        const std::span<const std::uint8_t> datagram(receive_.data(), static_cast<std::size_t>(got));
        for (const auto& reply : modules_.Receive(datagram)) Reply(reply.bytes, reply.module->Identity().ip, sender);
    }
    return count;
}

void UdpModuleServer::Reply(std::span<const std::uint8_t> bytes, const std::string& fromAddress, const sockaddr_in& to)
{
    // From the module's own address, as a real module answers; a module whose (assigned) address
    // is not on this machine answers from the command socket's.
    iovec part{const_cast<std::uint8_t*>(bytes.data()), bytes.size()};
    msghdr message{};
    message.msg_name = const_cast<sockaddr_in*>(&to);
    message.msg_namelen = sizeof to;
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    if (const auto address = LoopbackAddress(fromAddress)) {
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        cmsghdr* header = CMSG_FIRSTHDR(&message);
        header->cmsg_level = IPPROTO_IP;
        header->cmsg_type = IP_PKTINFO;
        header->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
        in_pktinfo info{};
        info.ipi_spec_dst.s_addr = htonl(*address);
        std::memcpy(CMSG_DATA(header), &info, sizeof info);
    }
    ssize_t sent;
    do {
        sent = ::sendmsg(fd_, &message, 0);
    } while (sent < 0 && errno == EINTR);
}

bool UdpModuleServer::Start()
{
    if (thread_.joinable()) return true;
    if (!Open()) return false;
    for (auto& instrument : instruments_)
        if (!instrument->Start()) return false;
    stopping_ = false;
    thread_ = std::thread([this] {
        while (!stopping_) PollCommands(1.0);
    });
    return true;
}

void UdpModuleServer::Stop()
{
    for (auto& instrument : instruments_) instrument->Stop();
    if (!thread_.joinable()) return;
    stopping_ = true;
    const std::uint8_t wake = 1;
    [[maybe_unused]] const auto written = ::write(wake_[1], &wake, 1);
    thread_.join();
    std::uint8_t drain[16];
    while (::read(wake_[0], drain, sizeof drain) > 0) {
    }
}

} // namespace zem::sim
