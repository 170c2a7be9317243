// zemcli sn-list [--json]: prints the serial-number register as text, or its lines as JSON.

#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "main/RegistroSN.h"
#include "profile/DataPaths.h"

#include <CLI/CLI.hpp>

#include <sstream>

namespace zem::cli {

namespace {

int SnList(CliSession& session, bool json)
{
    if (json) session.Host().NoticesToStderr();
    std::string spostato;
    const std::string percorso = RegistroSN::Percorso(session.Settings(), DataPaths::ProgramFolder().string(), spostato);
    if (!spostato.empty()) session.Host().MsgBox(spostato, ui::MsgButtons::OK, ui::MsgIcon::Information);
    const auto testo = RegistroSN::Carica(percorso);
    if (!testo) {
        session.Host().MsgBox("The serial number register cannot be read: " + percorso, ui::MsgButtons::OK,
                              ui::MsgIcon::Critical);
        return kExitFailed;
    }
    std::string righe;
    for (const char c : *testo)
        if (c != '\r') righe += c;
    if (!json) {
        std::cout << InstrumentText(righe).Utf8() << std::flush;
        return kExitDone;
    }
    auto lista = nlohmann::json::array();
    std::istringstream in(righe);
    for (std::string riga; std::getline(in, riga);)
        if (!riga.empty()) lista.push_back(JsonText(riga));
    PrintJson({{"file", percorso}, {"lines", lista}});
    return kExitDone;
}

} // namespace

void AddSnListCommand(CLI::App& app, CommandRun& run)
{
    auto json = std::make_shared<bool>(false);
    auto* command = app.add_subcommand("sn-list", "the serial-number register as text");
    command->add_flag("--json", *json, "a JSON object {file, lines}");
    command->callback([&run, json] { run = [json](CliSession& session) { return SnList(session, *json); }; });
}

} // namespace zem::cli
