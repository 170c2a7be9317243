// zemcli read --to KEY FILE.zemp [--force] [--json]: reads an instrument's configuration into a
// profile file.

#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "main/FMainZEMSETUP.h"
#include "main/ImportaProfilo.h"
#include "profile/DataPaths.h"
#include "profile/ProfiloZem.h"

#include <CLI/CLI.hpp>

#include <filesystem>

namespace zem::cli {

namespace {

struct ReadOptions {
    std::string key;
    std::string file;
    bool force = false;
    bool json = false;
};

void Stampa(const char* titolo, const std::vector<std::string>& campi)
{
    std::cout << titolo;
    for (const auto& campo : campi) std::cout << ' ' << campo;
    std::cout << '\n';
}

int Read(CliSession& session, const ReadOptions& o)
{
    if (o.json) session.Host().NoticesToStderr();
    if (!o.force && std::filesystem::exists(o.file)) {
        std::cerr << "zemcli: " << o.file << " exists; --force overwrites it\n";
        return kExitRefused;
    }
    const auto modello = ImportaProfilo::Modello(session.Host(),
                                                 (DataPaths::DataFolder() / FMainZEMSETUP::kTemplateName).string());
    if (!modello) return kExitFailed;
    auto esito = ImportaProfilo(session.Host(), session.Platform()).Run(*modello, o.key);
    if (!esito.profilo) return kExitFailed;  // the message told why; nothing was written
    if (!esito.profilo->SalvaFile(o.file)) {
        session.Host().MsgBox("Save file error.\r\n" + o.file, ui::MsgButtons::OK, ui::MsgIcon::Exclamation);
        return kExitFailed;
    }
    if (o.json) {
        PrintJson({{"file", o.file}, {"notReadBack", esito.nonLetti}, {"workedOut", esito.ricavati}});
        return kExitDone;
    }
    Stampa("Not read back (template values):", esito.nonLetti);
    if (!esito.ricavati.empty()) Stampa("Worked out from the curve memory shares (up to a common scale):", esito.ricavati);
    return kExitDone;
}

} // namespace

void AddReadCommand(CLI::App& app, CommandRun& run)
{
    auto o = std::make_shared<ReadOptions>();
    auto* command = app.add_subcommand("read", "read the instrument's configuration into a new profile file");
    command->add_option("--to", o->key, "the instrument: \"USB: SERIAL\" or \"IP:HOST:PORT\"")->type_name("KEY")->required();
    command->add_option("FILE", o->file, "the profile file to write (.zemp)")->required();
    command->add_flag("--force", o->force, "overwrite the file when it exists");
    command->add_flag("--json", o->json, "a JSON object {file, notReadBack, workedOut}");
    command->callback([&run, o] { run = [o](CliSession& session) { return Read(session, *o); }; });
}

} // namespace zem::cli
