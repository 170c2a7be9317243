#include "diagnosis/DiagnosticSession.h"

#include "discovery/ChiaveStrumento.h"
#include "main/CollegamentoStrumento.h"
#include "link/net/SocketControl.h"
#include "ui/Host.h"

namespace zem {

DiagnosticSession::DiagnosticSession(ui::Host& host, const LinkPlatform& platform)
    : host_(host),
      socket_(platform.createLinkSocket()),
      link_(platform.clock, platform.usb, platform.linkPump, *socket_)
{
}

DiagnosticSession::~DiagnosticSession() { Chiudi(); }

bool DiagnosticSession::Apri(const std::string& chiave)
{
    const auto letta = ChiaveStrumento::Leggi(chiave);
    if (!letta) return false;
    switch (letta->canale) {
    case ChiaveStrumento::Canale::USB: return link_.ApriComunicazioneUSB(letta->seriale);
    case ChiaveStrumento::Canale::IP:
        link_.SetupPortaEth(1, *socket_);
        return link_.ApriComunicazioneETH(letta->host, letta->porta);
    case ChiaveStrumento::Canale::MAC: break;
    }
    return false;
}

void DiagnosticSession::SegnalaErroreApertura()
{
    host_.MsgBox(link_.Protocollo() > 0 ? "Instrument type non supported." : "Communication error",
                 ui::MsgButtons::OK, ui::MsgIcon::Critical);
}

bool DiagnosticSession::VerificaStrumento() { return CollegamentoStrumento::VerificaStrumento(host_, link_); }

DiagnosticSession::Preparazione DiagnosticSession::Prepara()
{
    preparata_ = true;
    if (link_.MemoryError() || link_.UpdateMode()) {
        host_.MsgBox("Diagnosis and calibration are not possible in update mode.\r\nSetting and send profile first.",
                     ui::MsgButtons::OK, ui::MsgIcon::Information);
        return Preparazione::Rifiutato;
    }
    const auto possibile = link_.BloccaStrumento();
    if (!possibile) {
        host_.MsgBox("Blocking instruments failed.", ui::MsgButtons::OK, ui::MsgIcon::Information);
        return Preparazione::BloccoFallito;
    }
    if (!*possibile) {
        host_.MsgBox("Blocking instruments not possible.", ui::MsgButtons::OK, ui::MsgIcon::Information);
        return Preparazione::Rifiutato;
    }
    return Preparazione::Pronto;
}

bool DiagnosticSession::AttivaDiagnosi()
{
    inDiagnosi_ = link_.SetDiagnosticMode(true);
    if (!inDiagnosi_)
        host_.MsgBox("Communication to set diagnostic mode error.", ui::MsgButtons::OK, ui::MsgIcon::Critical);
    return inDiagnosi_;
}

void DiagnosticSession::Chiudi()
{
    if (link_.Collegato()) {
        if (preparata_) link_.SetDiagnosticMode(false);
        link_.ChiudiComunicazione();
    }
    preparata_ = inDiagnosi_ = false;
}

} // namespace zem
