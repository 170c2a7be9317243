// zemcli: the tool's workflows from a terminal or a script, on the same windows as zemsetup.

#include "cli/CliOptions.h"
#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/StopSignals.h"

#include <algorithm>
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
    "  send PROFILE --to KEY [--works keep|clear]\n"
    "                         send a profile file into the instrument; --works answers whether\n"
    "                         the works stored in it are kept or cleared\n"
    "  check --to \"USB: SERIAL\"\n"
    "                         whether the instrument's memory holds a configuration\n"
    "  info --to KEY          the instrument's name, its measures and their types\n"
    "  usb-init [--to KEY] [--name NAME] [--serial N]\n"
    "                         program a bridge's EEPROM with a name and serial number and add\n"
    "                         it to the register (N: the last number programmed plus one)\n"
    "  sn-list                the serial-number register as text\n"
    "  read --to KEY FILE.zemp [--force]\n"
    "                         read the instrument's configuration into a new profile file\n"
    "                         (--force overwrites it); prints the fields not read back\n"
    "  backup FILE --to KEY   the instrument's configuration memory into a .zemmem file\n"
    "  restore FILE --to KEY  a .zemmem backup back into the instrument's configuration memory\n"
    "  memtest --to KEY       test the instrument's memory; clears its configuration\n"
    "                         (needs --yes or a Yes typed on the terminal)\n"
    "  diff A.zemp B.zemp | diff A.zemp --to KEY\n"
    "                         the fields where profile A differs from profile B or from what\n"
    "                         the instrument holds; exit 0 the same, 1 different, 2 trouble\n"
    "  COMMAND ... then COMMAND ...\n"
    "                         one command after the other in the same run (and on the same\n"
    "                         simulated instruments), until one does not end with 0\n"
    "KEY: \"USB: SERIAL\" or \"IP:HOST:PORT\", as list prints it\n"
    "global options:\n"
    "  --simulate             serve simulated bridges, modules and instruments for this run\n"
    "  --broadcast HOST[:PORT]\n"
    "                         where module commands go (else $ZEMSETUP_BROADCAST, else\n"
    "                         255.255.255.255:65535)\n"
    "  --password-file FILE   the access password (else $ZEMSETUP_PASSWORD, else asked)\n"
    "  --yes                  answer Yes or OK to confirmations (not the works questions)\n"
    "  --compat               move instrument memory one byte a frame, as old loaders need\n"
    "  --help, --version\n"
    "exit codes: 0 done, 1 failed, 2 usage error, 3 refused or cancelled\n";

using Command = int (*)(zem::cli::CliSession&, const std::vector<std::string>&);

} // namespace

int main(int argc, char** argv)
{
    zem::cli::IgnoreBrokenPipe();
    const std::map<std::string, Command> commands{
        {"list", zem::cli::ListCommand},
        {"eth-setup", zem::cli::EthSetupCommand},
        {"monitor", zem::cli::MonitorCommand},
        {"curve", zem::cli::CurveCommand},
        {"send", zem::cli::SendCommand},
        {"check", zem::cli::CheckCommand},
        {"info", zem::cli::InfoCommand},
        {"usb-init", zem::cli::UsbInitCommand},
        {"sn-list", zem::cli::SnListCommand},
        {"read", zem::cli::ReadCommand},
        {"backup", zem::cli::BackupCommand},
        {"restore", zem::cli::RestoreCommand},
        {"memtest", zem::cli::MemtestCommand},
        {"diff", zem::cli::DiffCommand},
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
    // The commands of the run, each with its arguments, split at "then".
    std::vector<std::pair<Command, std::vector<std::string>>> run;
    for (auto at = options->command.begin();;) {
        const auto end = std::find(at, options->command.end(), std::string("then"));
        const auto command = at == end ? commands.end() : commands.find(*at);
        if (command == commands.end()) {
            std::cerr << kUsage;
            return zem::cli::kExitUsage;
        }
        run.emplace_back(command->second, std::vector<std::string>(at + 1, end));
        if (end == options->command.end()) break;
        at = end + 1;
    }
    auto session = zem::cli::CliSession::Open(*options, error);
    if (!session) {
        std::cerr << "zemcli: " << error << "\n";
        return zem::cli::kExitFailed;
    }
    for (const auto& [command, arguments] : run)
        if (const int code = session->Run(command, arguments); code != zem::cli::kExitDone) return code;
    return zem::cli::kExitDone;
}
