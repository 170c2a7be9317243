#include "diagnosis/Diagnosis.h"

#include "diagnosis/DiagnosticSession.h"
#include "diagnosis/FDiagnosi.h"
#include "discovery/FSceltaStrumento.h"
#include "session/CollegamentoStrumento.h"
#include "ui/Host.h"

namespace zem {

Diagnosis::Diagnosis(ui::Host& host, LinkPlatform platform, PasswordGate& gate, std::function<void(bool)> indicatore)
    : host_(host), platform_(std::move(platform)), gate_(gate), indicatore_(std::move(indicatore))
{
}

bool Diagnosis::Run()
{
    FSceltaStrumento scelta(host_, platform_);
    const auto chiave = scelta.LoadForm("Diagnosis", false, false);
    if (!chiave) return false;
    if (chiave->size() < 5) {
        host_.MsgBox(CollegamentoStrumento::ErroreChiave(*chiave), ui::MsgButtons::OK, ui::MsgIcon::Critical);
        return false;
    }
    {
        DiagnosticSession verifica(host_, platform_);
        // The opening can take seconds over the network: the window says it is busy meanwhile.
        if (indicatore_) indicatore_(true);
        const bool aperto = verifica.Apri(*chiave);
        if (indicatore_) indicatore_(false);
        if (!aperto) {
            verifica.SegnalaErroreApertura();
            return false;
        }
        if (!verifica.VerificaStrumento()) return false;
    }
    return FDiagnosi(host_, platform_, gate_, indicatore_).ShowForm(*chiave);
}

} // namespace zem
