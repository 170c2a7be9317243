#include "main/ScritturaMemoria.h"

#include "link/UCZEM2.h"
#include "main/ProgrammazioneMemoria.h"
#include "main/TransferProgress.h"
#include "session/CollegamentoStrumento.h"
#include "ui/Host.h"

#include <algorithm>
#include <array>

namespace zem {

namespace {

// The bar's caption while the memory is written and the instrument restarts; the step stands beside it.
constexpr const char* kDidascalia = "Progress:";

} // namespace

void ScritturaMemoria::Messaggio(const std::string& testo)
{
    host_.MsgBox(testo, ui::MsgButtons::OK, ui::MsgIcon::Critical);
}

bool ScritturaMemoria::Programma(UCZEM2& link, std::span<const ScritturaImmagine> scritture, int massimo)
{
    constexpr std::size_t n = ProgrammazioneMemoria::kIntestazione;
    if (scritture.size() < 2 * n) return false;
    std::array<std::uint8_t, n> firma{};
    for (std::size_t k = 0; k < n; ++k) firma[k] = scritture[scritture.size() - n + k].valore;
    const auto corpo = Blocchi(scritture.subspan(n, scritture.size() - 2 * n));
    return ProgrammazioneMemoria(host_, progress_).Programma(link, corpo, firma, kDidascalia, massimo);
}

// The bar runs by the time waited towards the most a restart may take, and is full once the
// instrument is back; the window stays painted meanwhile.
bool ScritturaMemoria::Commuta(UCZEM2& link, bool entra)
{
    constexpr int kPassi = 100;
    progress_.SetBusy(true);
    progress_.ShowProgress(kDidascalia, kPassi);
    progress_.ShowStatus("Restarting the instrument...");
    int fatti = 0;
    auto avanza = [&](int voluti) {
        for (; fatti < std::min(voluti, kPassi); ++fatti) progress_.Advance();
    };
    link.AttesaRiavvio = [&](double trascorsi, double limite) {
        avanza(limite > 0 ? static_cast<int>(kPassi * trascorsi / limite) : kPassi);
        host_.DoEvents();
    };
    const bool ok = link.SetUpdateMode(entra);
    link.AttesaRiavvio = nullptr;
    if (ok) avanza(kPassi);
    progress_.HideProgress();
    progress_.SetBusy(false);
    return ok;
}

bool ScritturaMemoria::Concludi(CollegamentoStrumento& c, const std::string& successo)
{
    UCZEM2& link = c.Link();
    // Whatever state the instrument was found in, a new configuration is only in use once the
    // instrument has restarted out of update mode.
    if (!Commuta(link, false)) {
        Messaggio("Exit update mode impossible.");
        return false;
    }
    c.Chiudi();
    progress_.SetBusy(true);
    const bool riaperto = c.Riapri();
    progress_.SetBusy(false);
    if (riaperto && !CollegamentoStrumento::MemoriaVuota(link)) {
        host_.MsgBox(successo, ui::MsgButtons::OK, ui::MsgIcon::Information);
        return true;
    }
    Messaggio(link.UpdateMode() ? "Exit update mode impossible." : "Programming memory fail.");
    return false;
}

bool ScritturaMemoria::Interrompi(CollegamentoStrumento& c)
{
    UCZEM2& link = c.Link();
    // Nothing was written: the instrument goes back to work as it was found.
    if (!link.UpdateMode() || c.UpdateModeAllApertura() || Commuta(link, false)) return true;
    Messaggio("Exit update mode impossible.");
    return false;
}

} // namespace zem
