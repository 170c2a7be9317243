// zemcli backup FILE --to KEY: the instrument's configuration memory into a ".zemmem" file.

#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/TerminalProgress.h"
#include "main/BackupMemoria.h"

#include <CLI/CLI.hpp>

#include <iostream>

namespace zem::cli {

namespace {

struct BackupOptions {
    std::string file;
    std::string key;
};

int Backup(CliSession& session, const BackupOptions& o)
{
    TerminalProgress progress = session.Progress();
    switch (BackupMemoria(session.Host(), session.Platform(), progress).Esporta(o.key, o.file, "")) {
    case BackupMemoria::Esito::Completato: return kExitDone;
    case BackupMemoria::Esito::Annullato: return kExitRefused;
    case BackupMemoria::Esito::Fallito: break;
    }
    return kExitFailed;
}

} // namespace

void AddBackupCommand(CLI::App& app, CommandRun& run)
{
    auto o = std::make_shared<BackupOptions>();
    auto* command = app.add_subcommand("backup", "the instrument's configuration memory into a .zemmem file");
    command->add_option("FILE", o->file, "the backup file to write (.zemmem)")->required();
    command->add_option("--to", o->key, "the instrument: \"USB: SERIAL\" or \"IP:HOST:PORT\"")->type_name("KEY")->required();
    command->callback([&run, o] { run = [o](CliSession& session) { return Backup(session, *o); }; });
}

} // namespace zem::cli
