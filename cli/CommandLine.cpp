#include "cli/CommandLine.h"

#include "cli/HelpFormatter.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <iostream>

namespace zem::cli {

namespace {

const char* const kFooter =
    "Commands chained with \"then\" run one after the other in the same run (and on the same\n"
    "simulated instruments), until one does not end with 0.\n"
    "KEY: \"USB: SERIAL\" or \"IP:HOST:PORT\", as list prints it; eth-setup takes a module's \"MAC: ...\".\n"
    "Exit codes: 0 done, 1 failed, 2 usage error, 3 refused or cancelled.\n";

void Describe(CLI::App& app, CliOptions& options, CommandRun& run)
{
    // Before the commands, which take the formatter from their parent.
    app.formatter(std::make_shared<HelpFormatter>());
    app.footer(kFooter);
    // A global option after the command is still the program's.
    app.fallthrough();
    app.require_subcommand(0, 1);
    app.add_flag_callback("--version", [] {
        std::cout << "zemcli " << ZEM_VERSION << "\n";
        throw CLI::Success();
    }, "print the version and exit");
    options.AddTo(app);
    AddListCommand(app, run);
    AddEthSetupCommand(app, run);
    AddMonitorCommand(app, run);
    AddCurveCommand(app, run);
    AddSendCommand(app, run);
    AddCheckCommand(app, run);
    AddInfoCommand(app, run);
    AddUsbInitCommand(app, run);
    AddSnListCommand(app, run);
    AddReadCommand(app, run);
    AddBackupCommand(app, run);
    AddRestoreCommand(app, run);
    AddMemtestCommand(app, run);
    AddDiffCommand(app, run);
    AddRecordCommand(app, run);
}

} // namespace

CommandLine::Outcome CommandLine::Parse(const std::vector<std::string>& arguments)
{
    for (auto at = arguments.begin();;) {
        const auto end = std::find(at, arguments.end(), std::string("then"));
        if (const auto outcome = ParseOne({at, end}); outcome != Outcome::Run) return outcome;
        if (end == arguments.end()) return Outcome::Run;
        at = end + 1;
    }
}

CommandLine::Outcome CommandLine::ParseOne(std::vector<std::string> arguments)
{
    CLI::App app("The ZEM Setup workflows from a terminal or a script.", "zemcli");
    CommandRun run;
    Describe(app, options_, run);
    std::reverse(arguments.begin(), arguments.end());  // CLI11 takes them last first
    try {
        app.parse(arguments);
    } catch (const CLI::CallForHelp& help) {  // before Success, which it is a kind of
        app.exit(help, std::cout, std::cerr);
        return Outcome::Done;
    } catch (const CLI::Success&) {
        return Outcome::Done;
    } catch (const CLI::ParseError& error) {
        const auto chosen = app.get_subcommands();
        const std::string name = chosen.empty() ? "zemcli" : "zemcli " + chosen.front()->get_name();
        std::cerr << name << ": " << error.what() << "\nRun \"" << name << " --help\" for its usage.\n";
        return Outcome::UsageError;
    }
    if (!run) {
        std::cerr << "zemcli: a command is required\nRun \"zemcli --help\" for the commands.\n";
        return Outcome::UsageError;
    }
    commands_.push_back({app.get_subcommands().front()->get_name(), std::move(run)});
    return Outcome::Run;
}

} // namespace zem::cli
