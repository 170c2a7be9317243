// zemcli memtest --to KEY: the instrument's memory test; it clears the configuration memory, so
// it runs only with --yes or a Yes typed on the terminal.

#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/StopSignals.h"
#include "cli/TerminalProgress.h"
#include "main/TestMemoria.h"

#include <CLI/CLI.hpp>

#include <iostream>

namespace zem::cli {

namespace {

int Memtest(CliSession& session, const std::string& key)
{
    TerminalProgress progress = session.Progress();
    const StopSignals signals;
    StopSignals::SetState("If the test had begun, the instrument stays in update mode with no configuration: send a "
                          "profile to it.");
    switch (TestMemoria(session.Host(), session.Platform(), progress).Esegui(key)) {
    case TestMemoria::Esito::Superato: return kExitDone;
    case TestMemoria::Esito::Rifiutato: return kExitRefused;
    case TestMemoria::Esito::Fallito: break;
    }
    return kExitFailed;
}

} // namespace

void AddMemtestCommand(CLI::App& app, CommandRun& run)
{
    auto key = std::make_shared<std::string>();
    auto* command = app.add_subcommand("memtest", "test the instrument's memory; clears its configuration (needs --yes or a Yes typed)");
    command->add_option("--to", *key, "the instrument: \"USB: SERIAL\" or \"IP:HOST:PORT\"")->type_name("KEY")->required();
    command->callback([&run, key] { run = [key](CliSession& session) { return Memtest(session, *key); }; });
}

} // namespace zem::cli
