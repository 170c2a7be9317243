// zemcli restore FILE --to KEY: a ".zemmem" backup written back into an instrument's configuration memory.

#include "cli/CliSession.h"
#include "cli/CommandArguments.h"
#include "cli/Commands.h"
#include "cli/TerminalProgress.h"
#include "main/RipristinoMemoria.h"

#include <iostream>
#include <unistd.h>

namespace zem::cli {

int RestoreCommand(CliSession& session, const std::vector<std::string>& arguments)
{
    const auto args = CommandArguments::Parse(arguments, {"--to"});
    if (!args || args->plain.size() != 1 || !args->Value("--to")) {
        std::cerr << "usage: zemcli restore FILE --to KEY\n";
        return kExitUsage;
    }
    TerminalProgress progress(std::cerr, ::isatty(STDERR_FILENO));
    RipristinoMemoria ripristino(session.Host(), session.Platform(), session.Gate(), progress);
    switch (ripristino.Ripristina(*args->Value("--to"), args->plain[0], "")) {
    case RipristinoMemoria::Esito::Completato: return kExitDone;
    case RipristinoMemoria::Esito::Rifiutato: return kExitRefused;
    case RipristinoMemoria::Esito::Fallito: break;
    }
    return kExitFailed;
}

} // namespace zem::cli
