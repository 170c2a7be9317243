#include "gui/SocketWatcher.h"

#include "link/net/WinSockEsclusivo.h"

#include <QSocketNotifier>

namespace zem::gui {

SocketWatcher::SocketWatcher(WinSockEsclusivo& pump, QObject* parent) : QObject(parent), pump_(pump)
{
    pump_.DescriptorsChanged = [this] { Follow(); };
    Follow();
}

SocketWatcher::~SocketWatcher() { pump_.DescriptorsChanged = nullptr; }

void SocketWatcher::Follow()
{
    // The set may change inside a notifier's own handler (a socket closed on arrival), so the old
    // notifiers go only once control is back in the event loop.
    for (QSocketNotifier* notifier : notifiers_) {
        notifier->setEnabled(false);
        notifier->deleteLater();
    }
    notifiers_.clear();
    for (const int fd : pump_.Descriptors()) {
        auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this] { pump_.PompaMessaggiSocket(); });
        notifiers_.push_back(notifier);
    }
}

} // namespace zem::gui
