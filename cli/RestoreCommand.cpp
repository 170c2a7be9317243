// zemcli restore FILE --to KEY: a ".zemmem" backup written back into an instrument's configuration memory.

#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/TerminalProgress.h"
#include "main/RipristinoMemoria.h"

#include <CLI/CLI.hpp>

#include <iostream>
#include <unistd.h>

namespace zem::cli {

namespace {

struct RestoreOptions {
    std::string file;
    std::string key;
};

int Restore(CliSession& session, const RestoreOptions& o)
{
    TerminalProgress progress(std::cerr, ::isatty(STDERR_FILENO));
    RipristinoMemoria ripristino(session.Host(), session.Platform(), session.Gate(), progress);
    switch (ripristino.Ripristina(o.key, o.file, "")) {
    case RipristinoMemoria::Esito::Completato: return kExitDone;
    case RipristinoMemoria::Esito::Rifiutato: return kExitRefused;
    case RipristinoMemoria::Esito::Fallito: break;
    }
    return kExitFailed;
}

} // namespace

void AddRestoreCommand(CLI::App& app, CommandRun& run)
{
    auto o = std::make_shared<RestoreOptions>();
    auto* command = app.add_subcommand("restore", "a .zemmem backup back into the instrument's configuration memory");
    command->add_option("FILE", o->file, "the backup file to write back (.zemmem)")->required();
    command->add_option("--to", o->key, "the instrument: \"USB: SERIAL\" or \"IP:HOST:PORT\"")->type_name("KEY")->required();
    command->callback([&run, o] { run = [o](CliSession& session) { return Restore(session, *o); }; });
}

} // namespace zem::cli
