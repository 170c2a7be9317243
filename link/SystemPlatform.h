#pragma once

#include "link/Clock.h"
#include "link/LinkPlatform.h"
#include "link/net/WinSockEsclusivo.h"
#include "link/usb/GestioneUSB.h"

namespace zem {

class D2xx;

// The real machine's pieces: the wall clock, the USB module over the given driver (libftdi, or a
// simulated bridge for --simulate), and POSIX UDP sockets on two socket-only pumps: one the links
// wait on, one the user-interface host watches between events.
class SystemPlatform {
public:
    SystemPlatform(D2xx& driver, BroadcastTarget broadcast);
    SystemPlatform(const SystemPlatform&) = delete;
    SystemPlatform& operator=(const SystemPlatform&) = delete;

    LinkPlatform Platform();
    // For the host: its descriptors are watched and it is pumped when one turns readable.
    WinSockEsclusivo& WindowPump() { return windowPump_; }
    SystemClock& GetClock() { return clock_; }

private:
    SystemClock clock_;
    GestioneUSB usb_;
    WinSockEsclusivo linkPump_;
    // The host pumps it only when a descriptor is readable, so it need not wait at all.
    WinSockEsclusivo windowPump_{0};
    BroadcastTarget broadcast_;
};

} // namespace zem
