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

// The fields by their captions, as JSON texts.
nlohmann::json Nomi(const std::vector<CampoProfilo>& campi)
{
    nlohmann::json nomi = nlohmann::json::array();
    for (const auto& campo : campi) nomi.push_back(JsonText(campo.Nome()));
    return nomi;
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
    TerminalProgress progress = session.Progress();
    auto esito = ImportaProfilo(session.Host(), session.Platform(), progress).Run(*modello, o.key);
    if (!esito.profilo) return kExitFailed;  // the message told why; nothing was written
    // --force replaces the file: nothing of what it held before may survive into the new profile.
    if (!esito.profilo->SalvaFile(o.file, ProfiloZem::Salvataggio::Sostituisci)) {
        session.Host().MsgBox("Save file error.\r\n" + o.file + "\r\n" + esito.profilo->LastError(), ui::MsgButtons::OK,
                              ui::MsgIcon::Exclamation);
        return kExitFailed;
    }
    if (o.json) {
        PrintJson({{"file", o.file}, {"notReadBack", Nomi(esito.nonLetti)}, {"workedOut", Nomi(esito.ricavati)}});
        return kExitDone;
    }
    ImportaProfilo::MostraNonLetti(session.Host(), esito);
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
