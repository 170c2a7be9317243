#include "main/ScritturaMemoria.h"

#include "link/UCZEM2.h"
#include "main/TransferProgress.h"
#include "session/CollegamentoStrumento.h"
#include "ui/Host.h"

#include <array>
#include <map>
#include <vector>

namespace zem {

namespace {
constexpr std::size_t kIntestazione = 4;  // "ZEM" and the format, cleared first, written last
constexpr std::size_t kBloccoRilettura = 256;
} // namespace

void ScritturaMemoria::Messaggio(const std::string& testo)
{
    host_.MsgBox(testo, ui::MsgButtons::OK, ui::MsgIcon::Critical);
}

// The header is cleared first and signed last, each as one write, so that no moment of the transfer
// leaves a memory that a reader would take for a configuration it is not.
bool ScritturaMemoria::Programma(UCZEM2& link, std::span<const ScritturaImmagine> scritture, int massimo, bool rileggi)
{
    if (scritture.size() < 2 * kIntestazione) return false;
    std::array<std::uint8_t, kIntestazione> zeri{};
    std::array<std::uint8_t, kIntestazione> firma{};
    for (std::size_t k = 0; k < kIntestazione; ++k) firma[k] = scritture[scritture.size() - kIntestazione + k].valore;
    const auto corpo = scritture.subspan(kIntestazione, scritture.size() - 2 * kIntestazione);

    progress_.ShowProgress("Progress:", massimo);
    bool ok = CancellaIntestazione(link, zeri);
    if (ok) {
        for (std::size_t k = 0; k < corpo.size() && ok; ++k) ok = ScriviByte(link, corpo[k].indirizzo, corpo[k].valore);
        if (!ok) Messaggio("Programming memory fail.");
    }
    if (ok && rileggi) {
        if (const auto differenza = Rileggi(link, corpo)) {
            Messaggio("Programming memory fail.\r\n" + *differenza);
            ok = false;
        }
    }
    if (ok) ok = ScriviIntestazione(link, firma);
    progress_.HideProgress();
    return ok;
}

std::optional<std::string> ScritturaMemoria::Rileggi(UCZEM2& link, std::span<const ScritturaImmagine> scritture)
{
    std::map<std::uint32_t, std::uint8_t> attesi;
    for (const ScritturaImmagine& s : scritture) attesi[s.indirizzo] = s.valore;
    // Runs of consecutive addresses, each read in one call.
    for (auto it = attesi.begin(); it != attesi.end();) {
        const std::uint32_t inizio = it->first;
        std::vector<std::uint8_t> attesa;
        for (; it != attesi.end() && it->first == inizio + attesa.size() && attesa.size() < kBloccoRilettura; ++it)
            attesa.push_back(it->second);
        std::vector<std::uint8_t> letta(attesa.size());
        if (!link.ReadConfigBytes(inizio, letta)) return "Reading back from address " + std::to_string(inizio) + " failed.";
        for (std::size_t i = 0; i < attesa.size(); ++i)
            if (letta[i] != attesa[i]) return "First difference at address " + std::to_string(inizio + i) + ".";
    }
    return std::nullopt;
}

bool ScritturaMemoria::CancellaIntestazione(UCZEM2& link, std::span<const std::uint8_t> zeri)
{
    if (link.WriteConfigBytes(0, zeri)) return true;
    Messaggio("Clearing memory fail.");
    return false;
}

bool ScritturaMemoria::ScriviIntestazione(UCZEM2& link, std::span<const std::uint8_t> firma)
{
    if (link.WriteConfigBytes(0, firma)) return true;
    Messaggio("Closing memory fail.");
    return false;
}

bool ScritturaMemoria::ScriviByte(UCZEM2& link, std::uint32_t indirizzo, std::uint8_t valore)
{
    // A closing window stops the transfer at the next byte: what is written stays unsigned.
    if (progress_.Closing()) return false;
    host_.DoEvents();
    if (progress_.Closing()) return false;
    progress_.Advance();
    return link.WriteConfigBytes(indirizzo, std::span<const std::uint8_t>(&valore, 1));
}

bool ScritturaMemoria::Commuta(UCZEM2& link, bool entra)
{
    progress_.SetBusy(true);
    progress_.ShowStatus("Restarting the instrument...");
    const bool ok = link.SetUpdateMode(entra);
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
    if (riaperto && !link.UpdateMode()) {
        host_.MsgBox(successo, ui::MsgButtons::OK, ui::MsgIcon::Information);
        return true;
    }
    Messaggio(riaperto || link.UpdateMode() ? "Exit update mode impossible." : "Programming memory fail.");
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
