#pragma once

#include "access/PasswordGate.h"
#include "cli/CliOptions.h"
#include "cli/TerminalHost.h"
#include "link/LinkPlatform.h"
#include "link/SystemPlatform.h"
#include "profile/FileSettingsStore.h"
#include "sim/SimulatedSite.h"

#include <memory>
#include <string>

namespace zem::cli {

// Exit codes of zemcli.
inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitRefused = 3;

// Everything one run of zemcli works with: the USB driver (the simulated site's with --simulate),
// the machine's clock and sockets, the terminal host, the user's settings and the access password.
class CliSession {
public:
    // Nothing, with `error` set, when the broadcast target does not parse or the simulated site
    // cannot be served.
    static std::unique_ptr<CliSession> Open(const CliOptions& options, std::string& error);

    TerminalHost& Host() { return host_; }
    LinkPlatform Platform() { return system_.Platform(); }
    PasswordGate& Gate() { return gate_; }
    SettingsStore& Settings() { return settings_; }

    // The exit code of a command that `done` its work or not, after what the host saw: a warning
    // or error shown is a failure; a question refused, or work not done without a failure, is a
    // refusal.
    int ExitCode(bool done) const;

private:
    CliSession(const CliOptions& options, std::unique_ptr<sim::SimulatedSite> site,
               std::unique_ptr<D2xx> machineUsb, BroadcastTarget broadcast);
    // Plays the technician on the password window: the password from the file, else from
    // $ZEMSETUP_PASSWORD, else typed on the terminal; Cancel when there is none.
    void TypePassword(ui::Form& form);

    std::unique_ptr<sim::SimulatedSite> site_;
    std::unique_ptr<D2xx> machineUsb_;
    SystemPlatform system_;
    TerminalHost host_;
    FileSettingsStore settings_;
    PasswordGate gate_;
    std::optional<std::string> passwordFile_;
};

} // namespace zem::cli
