// zemcli info --to KEY [--json]: what an instrument holds: its name, its measures and their types.

#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "link/UCZEM2.h"
#include "session/ChiaveStrumento.h"
#include "session/CollegamentoStrumento.h"

#include <CLI/CLI.hpp>

#include <array>

namespace zem::cli {

namespace {

// The names the main settings give the measure types.
constexpr std::array<const char*, 5> kTipi = {"Not in use", "Press force-position", "Peak to peak measure",
                                              "Simplex measure", "Test cylinders"};

struct InfoOptions {
    std::string key;
    bool json = false;
};

nlohmann::json Json(const UCZEM2& link)
{
    auto measures = nlohmann::json::array();
    for (int m = 1; m <= UCZEM2::kMisure; ++m) {
        const int tipo = link.TipoMisura(m);
        if (tipo > 0 && tipo < static_cast<int>(kTipi.size()))
            measures.push_back({{"number", m}, {"name", JsonText(link.NomeMisura(m))}, {"type", tipo},
                                {"typeName", kTipi[static_cast<std::size_t>(tipo)]}});
    }
    return {{"name", JsonText(link.Nome())},
            {"protocol", std::to_string(link.Protocollo()) + "-" + std::to_string(link.Estensioni())},
            {"updateMode", link.UpdateMode()},
            {"memoryError", link.MemoryError()},
            {"measures", measures}};
}

void Stampa(const UCZEM2& link)
{
    std::cout << "Instrument: " << InstrumentText(link.Nome()).Utf8() << "\nProtocol: " << link.Protocollo() << "-"
              << link.Estensioni() << "\n";
    if (link.UpdateMode()) std::cout << "Update mode\n";
    if (link.MemoryError()) std::cout << "Memory error\n";
    for (int m = 1; m <= UCZEM2::kMisure; ++m) {
        const int tipo = link.TipoMisura(m);
        if (tipo > 0 && tipo < static_cast<int>(kTipi.size()))
            std::cout << "Measure " << m << ": " << InstrumentText(link.NomeMisura(m)).Utf8() << " ("
                      << kTipi[static_cast<std::size_t>(tipo)] << ")\n";
    }
}

int Info(CliSession& session, const InfoOptions& o)
{
    const LinkPlatform platform = session.Platform();
    const auto socket = platform.createLinkSocket();
    UCZEM2 link(platform.clock, platform.usb, platform.linkPump, *socket);
    const bool aperto = CollegamentoStrumento::ApriChiave(link, *socket, o.key, CollegamentoStrumento::Uso::Lettura);
    if (aperto && o.json) PrintJson(Json(link));
    else if (aperto) Stampa(link);
    const std::string errore = CollegamentoStrumento::ErroreApertura(link);
    link.ChiudiComunicazione();
    if (aperto) return kExitDone;
    session.Host().MsgBox(errore, ui::MsgButtons::OK, ui::MsgIcon::Critical);
    return kExitFailed;
}

} // namespace

void AddInfoCommand(CLI::App& app, CommandRun& run)
{
    auto o = std::make_shared<InfoOptions>();
    auto* command = app.add_subcommand("info", "the instrument's name, protocol, state, measures and their types");
    command->add_option("--to", o->key, "the instrument: \"USB: SERIAL\" or \"IP:HOST:PORT\"")
        ->type_name("KEY")
        ->required()
        ->check([](const std::string& key) {
            const auto chiave = ChiaveStrumento::Leggi(key);
            return chiave && chiave->canale != ChiaveStrumento::Canale::MAC ? std::string()
                                                                            : "not \"USB: SERIAL\" or \"IP:HOST:PORT\": " + key;
        });
    command->add_flag("--json", o->json, "a JSON object {name, protocol, updateMode, memoryError, measures}");
    command->callback([&run, o] { run = [o](CliSession& session) { return Info(session, *o); }; });
}

} // namespace zem::cli
