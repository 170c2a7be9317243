// zemcli memtest --to KEY: the instrument's memory test; it clears the configuration memory, so
// it runs only with --yes or a Yes typed on the terminal.

#include "cli/CliSession.h"
#include "cli/CommandArguments.h"
#include "cli/Commands.h"
#include "cli/StopSignals.h"
#include "cli/TerminalProgress.h"
#include "main/TestMemoria.h"

#include <iostream>
#include <unistd.h>

namespace zem::cli {

int MemtestCommand(CliSession& session, const std::vector<std::string>& arguments)
{
    const auto args = CommandArguments::Parse(arguments, {"--to"});
    if (!args || !args->plain.empty() || !args->Value("--to")) {
        std::cerr << "usage: zemcli memtest --to KEY\n";
        return kExitUsage;
    }
    TerminalProgress progress(std::cerr, ::isatty(STDERR_FILENO));
    const StopSignals signals;
    StopSignals::SetState("If the test had begun, the instrument stays in update mode with no configuration: send a "
                          "profile to it.");
    switch (TestMemoria(session.Host(), session.Platform(), progress).Esegui(*args->Value("--to"))) {
    case TestMemoria::Esito::Superato: return kExitDone;
    case TestMemoria::Esito::Rifiutato: return kExitRefused;
    case TestMemoria::Esito::Fallito: break;
    }
    return kExitFailed;
}

} // namespace zem::cli
