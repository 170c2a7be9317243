#include "main/ImportaProfilo.h"

#include "discovery/FSceltaStrumento.h"
#include "session/ChiaveStrumento.h"
#include "session/CollegamentoStrumento.h"
#include "link/UCZEM2.h"
#include "main/TransferProgress.h"
#include "ui/Host.h"

#include <memory>

namespace zem {

namespace {
constexpr const char* kVuota = "The instrument memory is empty.";
} // namespace

ImportaProfilo::ImportaProfilo(ui::Host& host, const LinkPlatform& platform, TransferProgress& progress)
    : host_(host), platform_(platform), progress_(progress)
{
}

ImportaProfilo::ImportaProfilo(ui::Host& host, const LinkPlatform& platform)
    : ImportaProfilo(host, platform, SenzaProgresso())
{
}

DecodificaProfilo::Esito ImportaProfilo::Run(const ProfiloZem& modello, std::optional<std::string> chiave)
{
    if (!chiave) {
        FSceltaStrumento scelta(host_, platform_);
        chiave = scelta.LoadForm("Import profile", false, false);
        if (!chiave) return {};
    }
    auto esito = Leggi(modello, *chiave);
    if (!esito.profilo) {
        const bool avviso = esito.errore == kVuota || esito.errore == DecodificaProfilo::kFermato;
        host_.MsgBox(esito.errore, ui::MsgButtons::OK, avviso ? ui::MsgIcon::Information : ui::MsgIcon::Critical);
    }
    return esito;
}

DecodificaProfilo::Esito ImportaProfilo::Leggi(const ProfiloZem& modello, const std::string& chiave)
{
    DecodificaProfilo::Esito esito;
    const auto letta = ChiaveStrumento::Leggi(chiave);
    if (!letta || letta->canale == ChiaveStrumento::Canale::MAC) {
        esito.errore = CollegamentoStrumento::ErroreChiave(chiave);
        return esito;
    }
    const auto socket = platform_.createLinkSocket();
    UCZEM2 link(platform_.clock, platform_.usb, platform_.linkPump, *socket);
    // The refusals of the read-back check: a memory that holds no configuration gives no profile.
    progress_.SetBusy(true);
    const bool aperto = CollegamentoStrumento::ApriChiave(link, *socket, chiave, CollegamentoStrumento::Uso::Lettura);
    progress_.SetBusy(false);
    if (!aperto) esito.errore = CollegamentoStrumento::ErroreApertura(link);
    else if (CollegamentoStrumento::MemoriaVuota(link)) esito.errore = kVuota;
    else esito = DecodificaProfilo::Leggi(link, modello, progress_);
    progress_.HideProgress();
    link.ChiudiComunicazione();
    return esito;
}

std::optional<ProfiloZem> ImportaProfilo::Modello(ui::Host& host, const std::string& percorso)
{
    ProfiloZem modello;
    if (modello.ApriFile(percorso)) return modello;
    host.MsgBox("The profile template cannot be read: " + percorso + "\r\n" + modello.LastError(),
                ui::MsgButtons::OK, ui::MsgIcon::Critical);
    return std::nullopt;
}

ImportaProfilo::Resoconto ImportaProfilo::ElencoNonLetti(const DecodificaProfilo::Esito& esito)
{
    Resoconto r;
    r.sommario = "The instrument's configuration was read into a new profile.\r\n"
                 "The instrument memory does not keep every field: the details list those that keep the template's values";
    r.sommario += esito.ricavati.empty() ? "." : ", and those worked out from the curve memory shares.";
    r.dettagli = "These fields could not be read back and keep the template's values:\r\n" + ElencoCampi(esito.nonLetti);
    if (esito.ricavati.empty()) return r;
    r.dettagli += "\r\n\r\nThese are worked out from the curve memory shares, which keep them only up to a common scale:\r\n"
                  + ElencoCampi(esito.ricavati);
    return r;
}

void ImportaProfilo::MostraNonLetti(ui::Host& host, const DecodificaProfilo::Esito& esito)
{
    const Resoconto r = ElencoNonLetti(esito);
    host.MsgBoxWithDetails(r.sommario, r.dettagli, ui::MsgIcon::Information);
}

} // namespace zem
