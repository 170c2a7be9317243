#pragma once

#include "link/net/BroadcastTarget.h"
#include "link/net/SocketControl.h"

#include <functional>
#include <memory>
#include <string>

namespace zem {

class Clock;
class GestioneUSB;

// What a window needs to reach instruments: the clock every wait is measured on, the USB driver
// module, the pump a link waits on, sockets, and where the Ethernet-module commands go. The
// program fills it with the real machine's pieces, the tests with the simulator's.
//
// Sockets come in two kinds, so that nothing of a window runs inside a link exchange: a link
// socket is dispatched only by `linkPump` (while a link waits), a window socket only by the host
// between user-interface events. A window's own socket (module commands) is a window socket; the
// socket it hands to its link is a link socket.
struct LinkPlatform {
    Clock& clock;
    GestioneUSB& usb;
    SocketMessagePump& linkPump;
    std::function<std::unique_ptr<SocketControl>()> createLinkSocket;
    std::function<std::unique_ptr<SocketControl>()> createWindowSocket;
    BroadcastTarget broadcast;
    // Set before the lock-file name of an exclusive claim on an instrument: "" for this machine's
    // instruments; a simulated site gives its own, since its instruments live in its process.
    std::string claimScope = {};
    // Every link takes the instrument loader's single-byte path (the setting, `zemcli --compat`).
    bool singoloByte = false;
};

} // namespace zem
