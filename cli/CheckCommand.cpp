// zemcli check --to "USB: SERIAL" [--json]: whether a USB instrument's memory holds a configuration.

#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "main/LetturaProfilo.h"
#include "session/ChiaveStrumento.h"

#include <CLI/CLI.hpp>

namespace zem::cli {

namespace {

struct CheckOptions {
    std::string key;
    bool json = false;
};

const char* Name(LetturaProfilo::Esito esito)
{
    switch (esito) {
    case LetturaProfilo::Esito::Configurata: return "configured";
    case LetturaProfilo::Esito::MemoriaVuota: return "empty";
    case LetturaProfilo::Esito::NonSupportato: return "not supported";
    case LetturaProfilo::Esito::ErroreComunicazione: return "communication error";
    case LetturaProfilo::Esito::Nessuno: break;
    }
    return "none";
}

int Check(CliSession& session, const CheckOptions& o)
{
    // A quiet pass leaves stdout empty; what went wrong is told on stderr.
    session.Host().NoticesToStderr();
    const auto esito = LetturaProfilo(session.Host(), session.Platform()).Run(o.key);
    if (o.json) PrintJson({{"key", o.key}, {"outcome", Name(esito)}, {"configured", esito == LetturaProfilo::Esito::Configurata}});
    return esito == LetturaProfilo::Esito::Configurata ? kExitDone : kExitFailed;
}

} // namespace

void AddCheckCommand(CLI::App& app, CommandRun& run)
{
    auto o = std::make_shared<CheckOptions>();
    auto* command = app.add_subcommand("check", "whether the instrument's memory holds a configuration (USB only)");
    command->add_option("--to", o->key, "the instrument: \"USB: SERIAL\"")
        ->type_name("KEY")
        ->required()
        ->check([](const std::string& key) {
            // The check reads USB instruments only, as the window's menu does.
            const auto chiave = ChiaveStrumento::Leggi(key);
            return chiave && chiave->canale == ChiaveStrumento::Canale::USB ? std::string() : "not \"USB: SERIAL\": " + key;
        });
    command->add_flag("--json", o->json, "a JSON object {key, outcome, configured}");
    command->callback([&run, o] { run = [o](CliSession& session) { return Check(session, *o); }; });
}

} // namespace zem::cli
