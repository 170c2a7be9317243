#include "main/LetturaProfilo.h"

#include "discovery/FSceltaStrumento.h"
#include "session/ChiaveStrumento.h"
#include "session/CollegamentoStrumento.h"
#include "link/UCZEM2.h"
#include "ui/Host.h"

namespace zem {

LetturaProfilo::LetturaProfilo(ui::Host& host, const LinkPlatform& platform) : host_(host), platform_(platform) {}

LetturaProfilo::Esito LetturaProfilo::Run(std::optional<std::string> chiave)
{
    if (!chiave) {
        FSceltaStrumento scelta(host_, platform_);
        chiave = scelta.LoadForm("Read setup", false, false);
        if (!chiave) return Esito::Nessuno;
    }
    // Only USB instruments are read; a module's key is passed over without a word.
    const auto letta = ChiaveStrumento::Leggi(*chiave);
    if (!letta || letta->canale != ChiaveStrumento::Canale::USB) return Esito::Nessuno;

    const auto socket = platform_.createLinkSocket();
    UCZEM2 link(platform_.clock, platform_.usb, platform_.linkPump, *socket);
    Esito esito = Esito::Configurata;
    if (CollegamentoStrumento::ApriChiave(link, *socket, *chiave, CollegamentoStrumento::Uso::Lettura)) {
        if (CollegamentoStrumento::MemoriaVuota(link)) esito = Esito::MemoriaVuota;
    } else {
        // A protocol number means an identity reply came, and the instrument was refused after it.
        esito = link.Protocollo() > 0 ? Esito::NonSupportato : Esito::ErroreComunicazione;
    }
    const std::string errore = CollegamentoStrumento::ErroreApertura(link);
    // Closed before any message, on every path: a refused instrument must not keep its bridge.
    link.ChiudiComunicazione();

    switch (esito) {
    case Esito::MemoriaVuota:
        host_.MsgBox("The instrument memory is empty.", ui::MsgButtons::OK, ui::MsgIcon::Information);
        break;
    case Esito::NonSupportato:
    case Esito::ErroreComunicazione: host_.MsgBox(errore, ui::MsgButtons::OK, ui::MsgIcon::Critical); break;
    case Esito::Nessuno:
    case Esito::Configurata: break;
    }
    return esito;
}

} // namespace zem
