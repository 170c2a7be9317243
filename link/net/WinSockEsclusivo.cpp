#include "link/net/WinSockEsclusivo.h"

#include "link/net/UdpSocket.h"

#include <algorithm>
#include <cerrno>
#include <sys/socket.h>

namespace zem {

WinSockEsclusivo::WinSockEsclusivo(int idleWaitMs) : idleWaitMs_(std::max(0, idleWaitMs)) {}

WinSockEsclusivo::~WinSockEsclusivo()
{
    for (UdpSocket* socket : sockets_) socket->pump_ = nullptr;
}

void WinSockEsclusivo::Register(UdpSocket& socket)
{
    if (socket.pump_ == this) return;
    if (socket.pump_) socket.pump_->Unregister(socket);
    sockets_.push_back(&socket);
    socket.pump_ = this;
    if (socket.Fd() >= 0) SocketDescriptorChanged();
}

void WinSockEsclusivo::Unregister(UdpSocket& socket)
{
    const auto it = std::find(sockets_.begin(), sockets_.end(), &socket);
    if (it == sockets_.end()) return;
    sockets_.erase(it);
    socket.pump_ = nullptr;
    if (socket.Fd() >= 0) SocketDescriptorChanged();
}

std::vector<int> WinSockEsclusivo::Descriptors() const
{
    std::vector<int> fds;
    for (const UdpSocket* socket : sockets_)
        if (socket->Fd() >= 0) fds.push_back(socket->Fd());
    return fds;
}

void WinSockEsclusivo::SocketDescriptorChanged()
{
    if (DescriptorsChanged) DescriptorsChanged();
}

bool WinSockEsclusivo::PompaMessaggiSocket()
{
    polled_.clear();
    polledSockets_.clear();
    const std::size_t count = sockets_.size();
    for (std::size_t i = 0; i < count; ++i) {
        UdpSocket* socket = sockets_[(next_ + i) % count];
        if (socket->Fd() < 0 || socket->announced_) continue;
        polled_.push_back({socket->Fd(), POLLIN, 0});
        polledSockets_.push_back(socket);
    }

    int ready;
    do {
        ready = ::poll(polled_.data(), polled_.size(), idleWaitMs_);
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0) return false;

    for (std::size_t i = 0; i < polled_.size(); ++i) {
        const short events = polled_[i].revents;
        UdpSocket* socket = polledSockets_[i];
        if ((events & POLLIN) == 0) {
            // An error left on the socket (a refused earlier send) is no data: clear it so the
            // next call does not wake for it again.
            if ((events & POLLERR) != 0) {
                int error = 0;
                socklen_t size = sizeof error;
                ::getsockopt(socket->Fd(), SOL_SOCKET, SO_ERROR, &error, &size);
            }
            continue;
        }
        socket->announced_ = socket->Receive();
        if (!socket->announced_) continue;  // only oversize datagrams, all thrown away
        const auto position = std::find(sockets_.begin(), sockets_.end(), socket);
        next_ = static_cast<std::size_t>(position - sockets_.begin()) + 1;
        // The handler may close or even destroy its socket, so it runs from a copy and nothing
        // of the socket is touched after it.
        const auto handler = socket->DataArrival;
        if (handler) handler(*socket->announced_);
        return true;
    }
    return false;
}

} // namespace zem
