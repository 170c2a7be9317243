// zemcli: the tool's workflows from a terminal or a script, on the same windows as zemsetup.

#include "cli/CliOptions.h"
#include "cli/CliSession.h"
#include "cli/Commands.h"

#include <iostream>
#include <map>

namespace {

const char* const kUsage =
    "usage: zemcli [GLOBAL OPTIONS] COMMAND [ARGUMENTS]\n"
    "commands:\n"
    "  list [--usb-only | --network-only] [--json]\n"
    "                         the instruments on USB and on the network: key, name, info\n"
    "  eth-setup MAC --ip A.B.C.D\n"
    "                         give the Ethernet module with that MAC text a new address\n"
    "  monitor --to KEY [--once]\n"
    "                         the instrument's live transducer values, inputs and outputs\n"
    "                         every 400 ms until q or Ctrl-C (one reading with --once)\n"
    "  curve --to KEY --measure M [--count N] [--csv FILE]\n"
    "                         wait for the next N pieces (1) of a press measure, print their\n"
    "                         results, write their curves (FILE-1.csv, ... when N > 1)\n"
    "global options:\n"
    "  --simulate             serve simulated bridges, modules and instruments for this run\n"
    "  --broadcast HOST[:PORT]\n"
    "                         where module commands go (else $ZEMSETUP_BROADCAST, else\n"
    "                         255.255.255.255:65535)\n"
    "  --password-file FILE   the access password (else $ZEMSETUP_PASSWORD, else asked)\n"
    "  --yes                  answer Yes or OK to confirmations\n"
    "  --help, --version\n"
    "exit codes: 0 done, 1 failed, 2 usage error, 3 refused or cancelled\n";

using Command = int (*)(zem::cli::CliSession&, const std::vector<std::string>&);

} // namespace

int main(int argc, char** argv)
{
    const std::map<std::string, Command> commands{
        {"list", zem::cli::ListCommand},
        {"eth-setup", zem::cli::EthSetupCommand},
        {"monitor", zem::cli::MonitorCommand},
        {"curve", zem::cli::CurveCommand},
    };
    std::string error;
    const auto options = zem::cli::CliOptions::Parse({argv + 1, argv + argc}, error);
    if (!options) {
        std::cerr << "zemcli: " << error << "\n" << kUsage;
        return zem::cli::kExitUsage;
    }
    if (options->help) {
        std::cout << kUsage;
        return zem::cli::kExitDone;
    }
    if (options->version) {
        std::cout << "zemcli " << ZEM_VERSION << "\n";
        return zem::cli::kExitDone;
    }
    const auto command = options->command.empty() ? commands.end() : commands.find(options->command.front());
    if (command == commands.end()) {
        std::cerr << kUsage;
        return zem::cli::kExitUsage;
    }
    auto session = zem::cli::CliSession::Open(*options, error);
    if (!session) {
        std::cerr << "zemcli: " << error << "\n";
        return zem::cli::kExitFailed;
    }
    return command->second(*session, {options->command.begin() + 1, options->command.end()});
}
