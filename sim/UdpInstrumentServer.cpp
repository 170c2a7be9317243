#include "sim/UdpInstrumentServer.h"

#include "link/Clock.h"
#include "sim/InstrumentEndpoint.h"
#include "sim/SimulatedInstrument.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zem::sim {

namespace {

constexpr int kMaxDatagramsPerPoll = 64;  // so a flood cannot keep Poll from returning

bool MakeNonBlocking(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0
           && ::fcntl(fd, F_SETFD, FD_CLOEXEC) == 0;
}

} // namespace

UdpInstrumentServer::UdpInstrumentServer(SimulatedInstrument& instrument, Clock& clock, Options options)
    : instrument_(instrument), clock_(clock), options_(options), receive_(kMaxDatagram)
{
}

UdpInstrumentServer::~UdpInstrumentServer()
{
    Stop();
    for (const int fd : {fd_, wake_[0], wake_[1]})
        if (fd >= 0) ::close(fd);
}

bool UdpInstrumentServer::Open()
{
    if (fd_ >= 0) return true;
    if (wake_[0] < 0) {
        int pipeFds[2];
        if (::pipe(pipeFds) != 0) return false;
        wake_[0] = pipeFds[0];
        wake_[1] = pipeFds[1];
        if (!MakeNonBlocking(wake_[0]) || !MakeNonBlocking(wake_[1])) return false;
    }

    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0) return false;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(options_.port);
    local.sin_addr.s_addr = htonl(options_.address);
    socklen_t size = sizeof local;
    if (!MakeNonBlocking(fd) || ::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0
        || ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &size) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    port_ = ntohs(local.sin_port);
    return true;
}

double UdpInstrumentServer::Now()
{
    const double t = clock_.Timer();
    if (lastTimeOfDay_ >= 0) {
        double delta = t - lastTimeOfDay_;
        if (delta < 0) delta += kSecondsPerDay;
        now_ += delta;
    }
    lastTimeOfDay_ = t;
    return now_;
}

int UdpInstrumentServer::Poll(double maxWaitSeconds)
{
    if (fd_ < 0) return 0;
    RunDue();

    double wait = std::max(0.0, maxWaitSeconds);
    if (!scheduled_.empty()) wait = std::min(wait, std::max(0.0, scheduled_.begin()->first - Now()));
    const double ms = std::ceil(wait * 1000.0);
    const int timeout = ms > 1e9 ? 1000000000 : static_cast<int>(ms);

    pollfd fds[2] = {{fd_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
    const int ready = ::poll(fds, 2, timeout);
    int received = 0;
    if (ready > 0 && (fds[0].revents & POLLIN) != 0) received = ReceiveWaiting();
    RunDue();
    return received;
}

int UdpInstrumentServer::ReceiveWaiting()
{
    int count = 0;
    for (int i = 0; i < kMaxDatagramsPerPoll; ++i) {
        sockaddr_in sender{};
        iovec part{receive_.data(), receive_.size()};
        msghdr message{};
        message.msg_name = &sender;
        message.msg_namelen = sizeof sender;
        message.msg_iov = &part;
        message.msg_iovlen = 1;
        const ssize_t got = ::recvmsg(fd_, &message, 0);
        if (got < 0) {
            if (errno == EINTR) continue;
            break;
        }
        ++count;
        if ((message.msg_flags & MSG_TRUNC) != 0) {
            ++refused_;
            continue;
        }
        HandleDatagram({receive_.begin(), receive_.begin() + got},
                       Peer{sender.sin_addr.s_addr, sender.sin_port});
    }
    return count;
}

void UdpInstrumentServer::HandleDatagram(std::vector<std::uint8_t> bytes, Peer sender)
{
    ++received_;
    if (options_.dropEvery > 0 && ++receivedForDrop_ % static_cast<std::uint64_t>(options_.dropEvery) == 0)
        return;
    for (Delivery& d : toInstrument_.Apply(std::move(bytes))) {
        if (d.delaySeconds > 0)
            scheduled_.emplace(Now() + d.delaySeconds, Pending{true, sender, std::move(d.bytes)});
        else
            Feed(d.bytes, sender);
    }
}

void UdpInstrumentServer::Feed(std::span<const std::uint8_t> bytes, Peer sender)
{
    for (auto& datagram : ToDatagrams(instrument_.Receive(bytes), options_.splitReply))
        if (!datagram.empty()) Transmit(std::move(datagram), sender);
}

void UdpInstrumentServer::Transmit(std::vector<std::uint8_t> datagram, Peer peer)
{
    if (options_.corruptEvery > 0 && ++sentForCorrupt_ % static_cast<std::uint64_t>(options_.corruptEvery) == 0)
        datagram[0] ^= 0xFF;
    for (Delivery& d : fromInstrument_.Apply(std::move(datagram))) {
        const double delay = options_.latencySeconds + d.delaySeconds;
        if (delay > 0)
            scheduled_.emplace(Now() + delay, Pending{false, peer, std::move(d.bytes)});
        else
            SendNow(d.bytes, peer);
    }
}

void UdpInstrumentServer::SendNow(std::span<const std::uint8_t> datagram, Peer peer)
{
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_addr.s_addr = peer.address;
    remote.sin_port = peer.port;
    ssize_t sent;
    do {
        sent = ::sendto(fd_, datagram.data(), datagram.size(), 0,
                        reinterpret_cast<const sockaddr*>(&remote), sizeof remote);
    } while (sent < 0 && errno == EINTR);
    if (sent >= 0) ++sent_;
}

void UdpInstrumentServer::RunDue()
{
    if (scheduled_.empty()) return;
    const double now = Now();
    while (!scheduled_.empty() && scheduled_.begin()->first <= now) {
        Pending item = std::move(scheduled_.begin()->second);
        scheduled_.erase(scheduled_.begin());
        if (item.toInstrument)
            Feed(item.bytes, item.peer);
        else
            SendNow(item.bytes, item.peer);
    }
}

bool UdpInstrumentServer::Start()
{
    if (thread_.joinable()) return true;
    if (!Open()) return false;
    stopping_ = false;
    thread_ = std::thread([this] {
        while (!stopping_) Poll(1.0);
    });
    return true;
}

void UdpInstrumentServer::Stop()
{
    if (!thread_.joinable()) return;
    stopping_ = true;
    const std::uint8_t wake = 1;
    [[maybe_unused]] const auto written = ::write(wake_[1], &wake, 1);
    thread_.join();
    // Taken back, so that Poll called by the owner later waits as it should.
    std::uint8_t drain[16];
    while (::read(wake_[0], drain, sizeof drain) > 0) {
    }
}

} // namespace zem::sim
