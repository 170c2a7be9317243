#include "cli/CliOptions.h"

#include "link/net/BroadcastTarget.h"

#include <CLI/CLI.hpp>

namespace zem::cli {

void CliOptions::AddTo(CLI::App& app)
{
    app.add_flag("--simulate", simulate, "serve simulated bridges, modules and instruments for this run");
    app.add_option("--broadcast", broadcast,
                   "where module commands go (else $ZEMSETUP_BROADCAST, else 255.255.255.255:65535)")
        ->type_name("HOST[:PORT]")
        ->check([](const std::string& text) {
            return ParseBroadcastTarget(text) ? std::string() : "not HOST or HOST:PORT: " + text;
        });
    app.add_option("--password-file", passwordFile, "the access password (else $ZEMSETUP_PASSWORD, else asked)")
        ->type_name("FILE");
    app.add_flag("--compat", compat, "move instrument memory one byte a frame, as old loaders need");
    app.add_flag("--yes", yes, "answer Yes or OK to confirmations (not the works questions)");
    app.add_flag("-q,--quiet", quiet, "print only data and errors");
}

} // namespace zem::cli
