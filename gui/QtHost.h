#pragma once

#include "ui/Host.h"

#include <QStringList>

#include <memory>

namespace zem {
class WinSockEsclusivo;
}

namespace zem::gui {

class SocketWatcher;

// The desktop for the technician: Qt message boxes, input box and file dialogs, modal windows
// rendered from the forms, the Qt event loop and the wait cursor.
class QtHost final : public ui::Host {
public:
    explicit QtHost(std::string applicationTitle);
    ~QtHost() override;

    ui::FileDialogResult ShowFileDialog(const ui::FileDialogRequest& request) override;
    void ShowModal(ui::Form& form) override;
    void DoEvents() override;
    void SetBusy(bool busy) override;
    void Refresh() override;
    bool SavePlotPicture(const ui::Plot& plot, const std::string& path) override;

    // The windows' own sockets (those of `pump`) raise their data arrival from the event loop.
    void WatchSockets(WinSockEsclusivo& pump);

protected:
    ui::MsgAnswer ShowMessage(const ui::MessageBoxRequest& request) override;
    std::optional<std::string> ShowInputBox(const ui::InputBoxRequest& request) override;

private:
    bool busy_ = false;
    std::unique_ptr<SocketWatcher> sockets_;
};

// "ZEM profile file|*.zemp|All files (*.*)|*.*" as Qt name filters. "*.*" becomes "*", so that
// files without an extension are listed too.
QStringList QtNameFilters(const std::string& filter);

} // namespace zem::gui
