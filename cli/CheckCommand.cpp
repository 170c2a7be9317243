// zemcli check --to KEY: whether a USB instrument's memory holds a configuration.

#include "cli/CliSession.h"
#include "cli/CommandArguments.h"
#include "cli/Commands.h"
#include "main/LetturaProfilo.h"

#include <iostream>

namespace zem::cli {

int CheckCommand(CliSession& session, const std::vector<std::string>& arguments)
{
    const auto args = CommandArguments::Parse(arguments, {"--to"});
    if (args && args->plain.empty() && args->Value("--to")) {
        switch (LetturaProfilo(session.Host(), session.Platform()).Run(*args->Value("--to"))) {
        case LetturaProfilo::Esito::Configurata: return kExitDone;
        case LetturaProfilo::Esito::Nessuno: break;
        default: return kExitFailed;  // the window's message tells why
        }
    }
    // The check reads USB instruments only, as the window's menu does.
    std::cerr << "usage: zemcli check --to \"USB: SERIAL\"\n";
    return kExitUsage;
}

} // namespace zem::cli
