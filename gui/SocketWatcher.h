#pragma once

#include <QObject>

#include <vector>

class QSocketNotifier;

namespace zem {
class WinSockEsclusivo;
}

namespace zem::gui {

// Lets the windows' own sockets raise their data arrival from the Qt event loop: it watches the
// descriptors of the pump's sockets (following them as they open and close) and pumps one
// notification whenever one turns readable. A link exchange never runs the event loop, so
// nothing of this happens inside one.
class SocketWatcher final : public QObject {
public:
    explicit SocketWatcher(WinSockEsclusivo& pump, QObject* parent = nullptr);
    ~SocketWatcher() override;

private:
    void Follow();

    WinSockEsclusivo& pump_;
    std::vector<QSocketNotifier*> notifiers_;
};

} // namespace zem::gui
