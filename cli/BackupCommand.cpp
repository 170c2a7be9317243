// zemcli backup FILE --to KEY: the instrument's configuration memory into a ".zemmem" file.

#include "cli/CliSession.h"
#include "cli/CommandArguments.h"
#include "cli/Commands.h"
#include "cli/TerminalProgress.h"
#include "main/BackupMemoria.h"

#include <iostream>
#include <unistd.h>

namespace zem::cli {

int BackupCommand(CliSession& session, const std::vector<std::string>& arguments)
{
    const auto args = CommandArguments::Parse(arguments, {"--to"});
    if (!args || args->plain.size() != 1 || !args->Value("--to")) {
        std::cerr << "usage: zemcli backup FILE --to KEY\n";
        return kExitUsage;
    }
    TerminalProgress progress(std::cerr, ::isatty(STDERR_FILENO));
    switch (BackupMemoria(session.Host(), session.Platform(), progress).Esporta(*args->Value("--to"), args->plain[0], "")) {
    case BackupMemoria::Esito::Completato: return kExitDone;
    case BackupMemoria::Esito::Annullato: return kExitRefused;
    case BackupMemoria::Esito::Fallito: break;
    }
    return kExitFailed;
}

} // namespace zem::cli
