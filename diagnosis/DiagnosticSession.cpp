#include "diagnosis/DiagnosticSession.h"

#include "session/CollegamentoStrumento.h"
#include "link/net/SocketControl.h"
#include "ui/Host.h"

namespace zem {

DiagnosticSession::DiagnosticSession(ui::Host& host, const LinkPlatform& platform)
    : host_(host),
      socket_(platform.createLinkSocket()),
      link_(platform.clock, platform.usb, platform.linkPump, *socket_),
      claimScope_(platform.claimScope)
{
}

DiagnosticSession::~DiagnosticSession() { Chiudi(); }

bool DiagnosticSession::Apri(const std::string& chiave)
{
    chiave_ = chiave;
    return CollegamentoStrumento::ApriChiave(link_, *socket_, chiave);
}

void DiagnosticSession::SegnalaErroreApertura()
{
    CollegamentoStrumento::SegnalaErroreApertura(host_, link_, CollegamentoStrumento::Dettaglio::Breve);
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
