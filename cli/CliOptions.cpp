#include "cli/CliOptions.h"

#include "link/net/BroadcastTarget.h"

namespace zem::cli {

std::optional<CliOptions> CliOptions::Parse(const std::vector<std::string>& arguments, std::string& error)
{
    CliOptions options;
    std::size_t i = 0;
    for (; i < arguments.size() && arguments[i].starts_with("-"); ++i) {
        const std::string& arg = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (arg == "--simulate") {
            options.simulate = true;
        } else if (arg == "--compat") {
            options.compat = true;
        } else if (arg == "--yes") {
            options.yes = true;
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--broadcast" && hasValue && ParseBroadcastTarget(arguments[i + 1])) {
            options.broadcast = arguments[++i];
        } else if (arg == "--password-file" && hasValue) {
            options.passwordFile = arguments[++i];
        } else {
            error = "unknown option, or a missing or bad value: " + arg;
            return std::nullopt;
        }
    }
    options.command.assign(arguments.begin() + static_cast<std::ptrdiff_t>(i), arguments.end());
    return options;
}

} // namespace zem::cli
