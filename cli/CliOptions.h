#pragma once

#include <optional>
#include <string>

namespace CLI {
class App;
}

namespace zem::cli {

// zemcli's global options; they may stand before or after the command, and hold for the whole run.
struct CliOptions {
    bool simulate = false;
    bool yes = false;
    bool quiet = false;
    bool compat = false;                      // the instrument loader's single-byte transfers
    std::optional<std::string> broadcast;     // HOST[:PORT]
    std::optional<std::string> passwordFile;

    // Declares them on `app`, bound to this.
    void AddTo(CLI::App& app);
};

} // namespace zem::cli
