#include "session/CollegamentoStrumento.h"

#include "session/ChiaveStrumento.h"
#include "session/InstrumentClaim.h"
#include "link/net/SocketControl.h"
#include "session/VersioneFirmware.h"
#include "ui/Host.h"

namespace zem {

namespace {

constexpr int kTipoSupportato = 14;
constexpr int kReleaseOltre = 13;  // first release this tool does not know
constexpr const char* kNonSupportato = "Instrument type non supported.";
constexpr const char* kErroreComunicazione = "Communication error";
// The instrument said who it is, then stopped answering: its type is not what failed.
constexpr const char* kSenzaRisposta = "No answer from the instrument";

bool TipoConosciuto(int protocollo) { return protocollo == 11 || protocollo == 14; }

std::string TipoRelease(const UCZEM2& link)
{
    return "Type: " + std::to_string(link.Protocollo()) + "\r\nRelease: " + std::to_string(link.Estensioni());
}

} // namespace

bool CollegamentoStrumento::ApriChiave(UCZEM2& link, SocketControl& socket, std::string_view chiave, Uso uso)
{
    link.SetSolaLettura(uso == Uso::Lettura);
    const auto letta = ChiaveStrumento::Leggi(chiave);
    if (!letta) return false;
    switch (letta->canale) {
    case ChiaveStrumento::Canale::IP:
        link.SetupPortaEth(1, socket);
        return link.ApriComunicazioneETH(letta->host, letta->porta);
    case ChiaveStrumento::Canale::USB: return link.ApriComunicazioneUSB(letta->seriale);
    case ChiaveStrumento::Canale::MAC: break;
    }
    return false;
}

std::string CollegamentoStrumento::ErroreApertura(const UCZEM2& link, Dettaglio dettaglio)
{
    if (link.Protocollo() < 1) return kErroreComunicazione;
    if (link.AperturaSenzaRisposta()) return kSenzaRisposta;
    return dettaglio == Dettaglio::TipoRelease ? std::string(kNonSupportato) + "\r\n" + TipoRelease(link) : kNonSupportato;
}

std::string CollegamentoStrumento::ErroreChiave(std::string_view chiave)
{
    return chiave.size() < 5 ? kNonSupportato : kErroreComunicazione;
}

bool CollegamentoStrumento::MemoriaVuota(const UCZEM2& link)
{
    return link.UpdateMode() || link.MemoryError() || link.NumeroMisure() == 0;
}

std::optional<std::string> CollegamentoStrumento::NonSupportato(const UCZEM2& link)
{
    if (link.Protocollo() == kTipoSupportato && link.Estensioni() < kReleaseOltre) return std::nullopt;
    return "The instrument is not supported\r\n"
        + (link.UpdateMode() ? TipoRelease(link) : "Version: " + TestoVersione(link.VersioneCPU()));
}

CollegamentoStrumento::CollegamentoStrumento(const LinkPlatform& platform)
    : platform_(platform),
      socket_(platform_.createLinkSocket()),
      link_(platform_.clock, platform_.usb, platform_.linkPump, *socket_)
{
    link_.ForzaSingoloByte(platform_.singoloByte);
}

CollegamentoStrumento::~CollegamentoStrumento() = default;

bool CollegamentoStrumento::Apri(const std::string& chiave, Uso uso)
{
    chiave_ = chiave;
    uso_ = uso;
    updateModeAllApertura_ = false;
    if (uso == Uso::Modifica) {
        claim_ = std::make_unique<InstrumentClaim>(chiave, platform_.claimScope);
        if (!claim_->Held()) return false;
    }
    if (ApriComunicazione()) {
        updateModeAllApertura_ = link_.UpdateMode();
        return true;
    }
    if (uso == Uso::Lettura) return false;
    // The opening refused the instrument but kept what it said of itself. Only an instrument of a
    // known type is written to: byte 4 means something else to anyone else.
    if (!TipoConosciuto(link_.Protocollo()) || !ApriPorta()) return false;
    return link_.SetUpdateMode(true);
}

std::optional<std::string> CollegamentoStrumento::Occupato() const
{
    if (!claim_ || claim_->Held()) return std::nullopt;
    return claim_->Refusal();
}

// Read-only: what is left behind is looked at, not mended.
bool CollegamentoStrumento::Riapri() { return ApriChiave(link_, *socket_, chiave_, Uso::Lettura); }

bool CollegamentoStrumento::ApriComunicazione() { return ApriChiave(link_, *socket_, chiave_, uso_); }

// The channel alone, for the update-mode switch: the identity and version of the refused opening stand.
bool CollegamentoStrumento::ApriPorta()
{
    const auto chiave = ChiaveStrumento::Leggi(chiave_);
    if (!chiave) return false;
    if (chiave->canale == ChiaveStrumento::Canale::IP) return link_.ApriPortaETH(chiave->host, chiave->porta);
    return chiave->canale == ChiaveStrumento::Canale::USB && link_.ApriPortaUSB(chiave->seriale);
}

void CollegamentoStrumento::SegnalaErroreApertura(ui::Host& host) const
{
    if (const auto occupato = Occupato()) {
        host.MsgBox(*occupato, ui::MsgButtons::OK, ui::MsgIcon::Critical);
        return;
    }
    SegnalaErroreApertura(host, link_, Dettaglio::TipoRelease);
}

void CollegamentoStrumento::SegnalaErroreApertura(ui::Host& host, const UCZEM2& link, Dettaglio dettaglio)
{
    host.MsgBox(ErroreApertura(link, dettaglio), ui::MsgButtons::OK, ui::MsgIcon::Critical);
}

bool CollegamentoStrumento::VerificaStrumento(ui::Host& host, const UCZEM2& link)
{
    const auto perche = NonSupportato(link);
    if (perche) host.MsgBox(*perche, ui::MsgButtons::OK, ui::MsgIcon::Exclamation);
    return !perche;
}

} // namespace zem
