#include "link/SystemPlatform.h"

#include "link/net/UdpSocket.h"

namespace zem {

SystemPlatform::SystemPlatform(D2xx& driver, BroadcastTarget broadcast)
    : usb_(driver, clock_), broadcast_(std::move(broadcast))
{
}

LinkPlatform SystemPlatform::Platform()
{
    return {clock_,
            usb_,
            linkPump_,
            [this] { return std::make_unique<UdpSocket>(&linkPump_); },
            [this] { return std::make_unique<UdpSocket>(&windowPump_); },
            broadcast_};
}

} // namespace zem
