#pragma once

#include <string>
#include <vector>

namespace zem::cli {

class CliSession;

// One function a command: it reads its arguments, runs the workflow and answers the exit code.
// Usage errors answer kExitUsage with the usage on stderr.
int ListCommand(CliSession& session, const std::vector<std::string>& arguments);
int EthSetupCommand(CliSession& session, const std::vector<std::string>& arguments);
int MonitorCommand(CliSession& session, const std::vector<std::string>& arguments);
int CurveCommand(CliSession& session, const std::vector<std::string>& arguments);
int SendCommand(CliSession& session, const std::vector<std::string>& arguments);
int CheckCommand(CliSession& session, const std::vector<std::string>& arguments);
int InfoCommand(CliSession& session, const std::vector<std::string>& arguments);
int UsbInitCommand(CliSession& session, const std::vector<std::string>& arguments);
int SnListCommand(CliSession& session, const std::vector<std::string>& arguments);
int ReadCommand(CliSession& session, const std::vector<std::string>& arguments);
int BackupCommand(CliSession& session, const std::vector<std::string>& arguments);
int MemtestCommand(CliSession& session, const std::vector<std::string>& arguments);
int DiffCommand(CliSession& session, const std::vector<std::string>& arguments);
int RestoreCommand(CliSession& session, const std::vector<std::string>& arguments);

} // namespace zem::cli
