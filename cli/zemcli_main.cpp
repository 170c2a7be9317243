// zemcli: the tool's workflows from a terminal or a script, on the same windows as zemsetup.

#include "cli/CliSession.h"
#include "cli/CommandLine.h"
#include "cli/StopSignals.h"

#include <iostream>

int main(int argc, char** argv)
{
    zem::cli::IgnoreBrokenPipe();
    zem::cli::CommandLine line;
    switch (line.Parse({argv + 1, argv + argc})) {
    case zem::cli::CommandLine::Outcome::Done: return zem::cli::kExitDone;
    case zem::cli::CommandLine::Outcome::UsageError: return zem::cli::kExitUsage;
    case zem::cli::CommandLine::Outcome::Run: break;
    }
    std::string error;
    auto session = zem::cli::CliSession::Open(line.Options(), error);
    if (!session) {
        std::cerr << "zemcli: " << error << "\n";
        return zem::cli::kExitFailed;
    }
    for (const auto& command : line.Commands())
        if (const int code = session->Run(command); code != zem::cli::kExitDone) return code;
    return zem::cli::kExitDone;
}
