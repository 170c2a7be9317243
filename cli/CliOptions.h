#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zem::cli {

// zemcli's global options, which stand before the command; the command and its own arguments
// follow them.
struct CliOptions {
    bool simulate = false;
    bool yes = false;
    bool help = false;
    bool version = false;
    bool compat = false;                      // the instrument loader's single-byte transfers
    std::optional<std::string> broadcast;     // HOST[:PORT]
    std::optional<std::string> passwordFile;
    std::vector<std::string> command;         // the command, then its arguments

    // Nothing, with `error` set, for an unknown option or one without its value.
    static std::optional<CliOptions> Parse(const std::vector<std::string>& arguments, std::string& error);
};

} // namespace zem::cli
