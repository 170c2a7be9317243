#pragma once

#include "access/PasswordGate.h"
#include "app/ProgramPlatform.h"
#include "cli/CliOptions.h"
#include "cli/Commands.h"
#include "cli/TerminalHost.h"
#include "link/LinkPlatform.h"
#include "profile/FileSettingsStore.h"

#include <memory>
#include <string>
#include <vector>

namespace zem::cli {

// Exit codes of zemcli.
inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitRefused = 3;

// Everything one run of zemcli works with: the platform (the simulated site with --simulate), the terminal host, the user's settings and the access password.
class CliSession {
public:
    // Nothing, with `error` set, when the broadcast target does not parse or the simulated site
    // cannot be served.
    static std::unique_ptr<CliSession> Open(const CliOptions& options, std::string& error);

    TerminalHost& Host() { return host_; }
    LinkPlatform Platform();
    PasswordGate& Gate() { return gate_; }
    SettingsStore& Settings() { return settings_; }
    // Runs one command of the run and answers its exit code; what the command set on the host
    // (answers, window drivers, a refusal or failure seen) ends with it.
    int Run(const CommandRun& command);

    // The exit code of a command that `done` its work or not, after what the host saw: a warning
    // or error shown is a failure; a question refused, or work not done without a failure, is a
    // refusal.
    int ExitCode(bool done) const;

private:
    CliSession(const CliOptions& options, std::unique_ptr<app::ProgramPlatform> platform);
    // Plays the technician on the password window: the password from the file, else from
    // $ZEMSETUP_PASSWORD, else typed on the terminal; Cancel when there is none.
    void TypePassword(ui::Form& form);

    std::unique_ptr<app::ProgramPlatform> platform_;
    TerminalHost host_;
    FileSettingsStore settings_;
    PasswordGate gate_;
    std::optional<std::string> passwordFile_;
    bool singoloByte_ = false;
};

} // namespace zem::cli
