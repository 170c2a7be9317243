// zemcli info --to KEY: what an instrument holds: its name, its measures and their types.

#include "cli/CliSession.h"
#include "cli/CommandArguments.h"
#include "cli/Commands.h"
#include "session/ChiaveStrumento.h"
#include "session/CollegamentoStrumento.h"
#include "link/UCZEM2.h"

#include <array>
#include <iostream>

namespace zem::cli {

namespace {

// The names the main settings give the measure types.
constexpr std::array<const char*, 5> kTipi = {"Not in use", "Press force-position", "Peak to peak measure",
                                              "Simplex measure", "Test cylinders"};

void Stampa(const UCZEM2& link)
{
    std::cout << "Instrument: " << link.Nome() << "\nProtocol: " << link.Protocollo() << "-" << link.Estensioni() << "\n";
    if (link.UpdateMode()) std::cout << "Update mode\n";
    if (link.MemoryError()) std::cout << "Memory error\n";
    for (int m = 1; m <= UCZEM2::kMisure; ++m) {
        const int tipo = link.TipoMisura(m);
        if (tipo > 0 && tipo < static_cast<int>(kTipi.size()))
            std::cout << "Measure " << m << ": " << link.NomeMisura(m) << " (" << kTipi[static_cast<std::size_t>(tipo)] << ")\n";
    }
}

} // namespace

int InfoCommand(CliSession& session, const std::vector<std::string>& arguments)
{
    const auto args = CommandArguments::Parse(arguments, {"--to"});
    const auto chiave = args && args->plain.empty() && args->Value("--to") ? ChiaveStrumento::Leggi(*args->Value("--to"))
                                                                            : std::nullopt;
    if (!chiave || chiave->canale == ChiaveStrumento::Canale::MAC) {
        std::cerr << "usage: zemcli info --to KEY   (\"USB: SERIAL\" or \"IP:HOST:PORT\")\n";
        return kExitUsage;
    }
    const LinkPlatform platform = session.Platform();
    const auto socket = platform.createLinkSocket();
    UCZEM2 link(platform.clock, platform.usb, platform.linkPump, *socket);
    const bool aperto = CollegamentoStrumento::ApriChiave(link, *socket, *args->Value("--to"), CollegamentoStrumento::Uso::Lettura);
    if (aperto) Stampa(link);
    const std::string errore = CollegamentoStrumento::ErroreApertura(link);
    link.ChiudiComunicazione();
    if (aperto) return kExitDone;
    session.Host().MsgBox(errore, ui::MsgButtons::OK, ui::MsgIcon::Critical);
    return kExitFailed;
}

} // namespace zem::cli
