#include "main/CollegamentoStrumento.h"

#include "discovery/ChiaveStrumento.h"
#include "link/net/SocketControl.h"
#include "ui/Host.h"

#include <cstdio>

namespace zem {

namespace {

constexpr int kTipoSupportato = 14;
constexpr int kReleaseOltre = 13;  // first release this tool does not know

// The firmware version as the technician reads it elsewhere: two decimals at most, no trailing zeros.
std::string Versione(double v)
{
    char testo[32];
    std::snprintf(testo, sizeof testo, "%.2f", v);
    std::string s = testo;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s;
}

bool TipoConosciuto(int protocollo) { return protocollo == 11 || protocollo == 14; }

} // namespace

CollegamentoStrumento::CollegamentoStrumento(const LinkPlatform& platform)
    : platform_(platform),
      socket_(platform_.createLinkSocket()),
      link_(platform_.clock, platform_.usb, platform_.linkPump, *socket_)
{
}

bool CollegamentoStrumento::Apri(const std::string& chiave)
{
    chiave_ = chiave;
    updateModeAllApertura_ = false;
    if (ApriComunicazione()) {
        updateModeAllApertura_ = link_.UpdateMode();
        return true;
    }
    // The opening refused the instrument but kept what it said of itself. Only an instrument of a
    // known type is written to: byte 4 means something else to anyone else.
    if (!TipoConosciuto(link_.Protocollo()) || !ApriPorta()) return false;
    return link_.SetUpdateMode(true);
}

bool CollegamentoStrumento::Riapri() { return ApriComunicazione(); }

bool CollegamentoStrumento::ApriComunicazione()
{
    const auto chiave = ChiaveStrumento::Leggi(chiave_);
    if (!chiave) return false;
    switch (chiave->canale) {
    case ChiaveStrumento::Canale::IP:
        link_.SetupPortaEth(1, *socket_);
        return link_.ApriComunicazioneETH(chiave->host, chiave->porta);
    case ChiaveStrumento::Canale::USB: return link_.ApriComunicazioneUSB(chiave->seriale);
    case ChiaveStrumento::Canale::MAC: break;
    }
    return false;
}

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
    if (link_.Protocollo() >= 1) {
        host.MsgBox("Instrument type non supported.\r\nType: " + std::to_string(link_.Protocollo()) + "\r\nRelease: "
                        + std::to_string(link_.Estensioni()),
                    ui::MsgButtons::OK, ui::MsgIcon::Critical);
    } else {
        host.MsgBox("Communication error", ui::MsgButtons::OK, ui::MsgIcon::Critical);
    }
}

bool CollegamentoStrumento::VerificaStrumento(ui::Host& host, const UCZEM2& link)
{
    if (link.Protocollo() == kTipoSupportato && link.Estensioni() < kReleaseOltre) return true;
    const std::string dettaglio = link.UpdateMode()
        ? "Type: " + std::to_string(link.Protocollo()) + "\r\nRelease: " + std::to_string(link.Estensioni())
        : "Version: " + Versione(link.VersioneCPU());
    host.MsgBox("The instrument is not supported\r\n" + dettaglio, ui::MsgButtons::OK, ui::MsgIcon::Exclamation);
    return false;
}

} // namespace zem
