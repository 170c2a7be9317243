#pragma once

#include <functional>

namespace CLI {
class App;
}

namespace zem::cli {

class CliSession;

// The work of the command a run parsed: it runs the workflow and answers the exit code.
using CommandRun = std::function<int(CliSession&)>;

// One function a command: it adds the command with its own options to `app`; once the command is
// parsed, `run` is its work.
void AddListCommand(CLI::App& app, CommandRun& run);
void AddEthSetupCommand(CLI::App& app, CommandRun& run);
void AddMonitorCommand(CLI::App& app, CommandRun& run);
void AddCurveCommand(CLI::App& app, CommandRun& run);
void AddSendCommand(CLI::App& app, CommandRun& run);
void AddCheckCommand(CLI::App& app, CommandRun& run);
void AddInfoCommand(CLI::App& app, CommandRun& run);
void AddUsbInitCommand(CLI::App& app, CommandRun& run);
void AddSnListCommand(CLI::App& app, CommandRun& run);
void AddReadCommand(CLI::App& app, CommandRun& run);
void AddBackupCommand(CLI::App& app, CommandRun& run);
void AddMemtestCommand(CLI::App& app, CommandRun& run);
void AddRestoreCommand(CLI::App& app, CommandRun& run);
void AddDiffCommand(CLI::App& app, CommandRun& run);
void AddRecordCommand(CLI::App& app, CommandRun& run);

} // namespace zem::cli
