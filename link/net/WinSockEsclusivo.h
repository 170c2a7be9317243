#pragma once

#include "link/net/SocketControl.h"

#include <cstddef>
#include <functional>
#include <poll.h>
#include <vector>

namespace zem {

class UdpSocket;

// The socket-only message pump. Each call takes at most one pending data notification across the
// registered sockets, in turn, and raises that socket's DataArrival; nothing else ever runs in
// it. With nothing pending it waits in poll() for at most `idleWaitMs`, which only socket data can
// cut short, so a waiting loop does not spin a core.
class WinSockEsclusivo final : public SocketMessagePump {
public:
    // Shorter waits cost a timer reprogramming at every wake on some machines, which slows every
    // exchange; 5 ms makes a time-out at most that much late.
    static constexpr int kIdleWaitMs = 5;

    explicit WinSockEsclusivo(int idleWaitMs = kIdleWaitMs);
    ~WinSockEsclusivo() override;
    WinSockEsclusivo(const WinSockEsclusivo&) = delete;
    WinSockEsclusivo& operator=(const WinSockEsclusivo&) = delete;

    // A socket belongs to one pump at a time; registering it here takes it from any other.
    void Register(UdpSocket& socket);
    void Unregister(UdpSocket& socket);

    bool PompaMessaggiSocket() override;

    // For a GUI host that watches the sockets between exchanges and calls PompaMessaggiSocket
    // when one turns readable: the open descriptors, and a call whenever that set changes
    // (sockets open lazily and reopen after Close).
    std::vector<int> Descriptors() const;
    std::function<void()> DescriptorsChanged;

private:
    friend class UdpSocket;
    void SocketDescriptorChanged();

    std::vector<UdpSocket*> sockets_;
    std::size_t next_ = 0;  // where the next call starts looking, so no socket starves another
    int idleWaitMs_;
    std::vector<pollfd> polled_;
    std::vector<UdpSocket*> polledSockets_;
};

} // namespace zem
