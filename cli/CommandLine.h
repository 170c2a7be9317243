#pragma once

#include "cli/CliOptions.h"
#include "cli/Commands.h"

#include <string>
#include <vector>

namespace zem::cli {

// zemcli's command line: the global options and every command, split into the commands of the
// run at "then".
class CommandLine {
public:
    enum class Outcome { Run, Done, UsageError };

    // Parses `arguments` (without the program name). Done after --help or --version (printed on
    // stdout); UsageError after the message naming the culprit went to stderr.
    Outcome Parse(const std::vector<std::string>& arguments);

    const CliOptions& Options() const { return options_; }
    struct Command {
        std::string name;
        CommandRun run;
    };
    const std::vector<Command>& Commands() const { return commands_; }

private:
    // One command and its arguments; the global options may be among them.
    Outcome ParseOne(std::vector<std::string> arguments);

    CliOptions options_;
    std::vector<Command> commands_;
};

} // namespace zem::cli
