#pragma once

#include "app/ProgramPlatform.h"
#include "gui/FormMainWindow.h"
#include "gui/ProgramOptions.h"
#include "gui/QtHost.h"
#include "main/FMainZEMSETUP.h"
#include "record/StoreStatistics.h"
#include "record/WindowRecording.h"

#include <memory>
#include <optional>

namespace zem {
class SettingsStore;
}

namespace zem::gui {

// zemsetup put together, the same for the program and for its smoke test: the platform (this
// machine, or the simulated site with --simulate), the Qt host watching the window sockets, and
// the loaded main window on the given settings.
class DesktopSession {
public:
    // Nothing, with the reason on stderr and `exitCode` set, when the platform cannot be built.
    static std::unique_ptr<DesktopSession> Open(const ProgramOptions& options, SettingsStore& settings,
                                                FMainZEMSETUP::Options mainOptions, int& exitCode);

    // The main window's size and position are those it had when the last session ended.
    ~DesktopSession();
    FormMainWindow& Window() { return window_; }
    const FMainZEMSETUP& MainForm() const { return mainForm_; }
    // The platform the simulated instruments are served on, if they are.
    std::optional<LinkPlatform> Simulated();

private:
    DesktopSession(std::unique_ptr<app::ProgramPlatform> platform, SettingsStore& settings,
                   FMainZEMSETUP::Options mainOptions);

    std::unique_ptr<app::ProgramPlatform> platform_;
    SettingsStore& settings_;
    QtHost host_;
    WindowRecording recording_;  // the curve window's pieces, into the file the technician picks
    StoreStatistics statistics_;  // the statistics window's, of the file the technician picks
    FMainZEMSETUP mainForm_;
    FormMainWindow window_;
};

} // namespace zem::gui
