#include "main/ProgrammazioneMemoria.h"

#include "link/UCZEM2.h"
#include "main/TransferProgress.h"
#include "ui/Host.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace zem {

namespace {

using ui::MsgButtons;
using ui::MsgIcon;

constexpr std::size_t kFramePRam = 18;  // data bytes of one PRAM frame
constexpr std::size_t kPagina = 256;    // a mailbox transfer never crosses a page
constexpr std::size_t kLetturaVerifica = 255;

std::string Differenza(std::uint32_t indirizzo)
{
    char testo[64];
    std::snprintf(testo, sizeof testo, "First difference at address %u (0x%04X).", indirizzo, indirizzo);
    return testo;
}

} // namespace

std::vector<BloccoMemoria> Blocchi(std::span<const ScritturaImmagine> scritture)
{
    std::vector<BloccoMemoria> blocchi;
    for (const ScritturaImmagine& s : scritture) {
        if (blocchi.empty() || blocchi.back().indirizzo + blocchi.back().dati.size() != s.indirizzo)
            blocchi.push_back({s.indirizzo, {}});
        blocchi.back().dati.push_back(s.valore);
    }
    return blocchi;
}

ProgrammazioneMemoria::ProgrammazioneMemoria(ui::Host& host, TransferProgress& progress)
    : host_(host), progress_(progress)
{
}

bool ProgrammazioneMemoria::Programma(UCZEM2& link, std::span<const BloccoMemoria> corpo,
                                      const std::array<std::uint8_t, kIntestazione>& intestazione,
                                      const std::string& didascalia, int massimo)
{
    progress_.ShowProgress(didascalia, massimo);
    progress_.ShowStatus("Writing memory");
    const std::array<std::uint8_t, kIntestazione> zeri{};
    bool ok = link.WriteConfigBytes(0, zeri);
    if (!ok) host_.MsgBox("Clearing memory fail.", MsgButtons::OK, MsgIcon::Critical);
    if (ok && !(Scrivi(link, corpo) && Verifica(link, corpo, didascalia))) ok = false;
    if (ok) {
        progress_.ShowStatus("Writing header");
        if (!link.WriteConfigBytes(0, intestazione)) ok = IntestazioneScritta(link, intestazione);
    }
    progress_.HideProgress();
    return ok;
}

// A header write that went unacknowledged may still have been made (only its answer lost): the
// header read back tells what the instrument holds.
bool ProgrammazioneMemoria::IntestazioneScritta(UCZEM2& link, const std::array<std::uint8_t, kIntestazione>& intestazione)
{
    std::array<std::uint8_t, kIntestazione> letta{};
    if (!link.ReadConfigBytes(0, letta)) {
        host_.MsgBox("Closing memory fail.\r\nThe instrument did not answer: whether its header was written is unknown.",
                     MsgButtons::OK, MsgIcon::Critical);
        return false;
    }
    if (letta == intestazione) return true;
    host_.MsgBox("Closing memory fail.", MsgButtons::OK, MsgIcon::Critical);
    return false;
}

// In pieces of one frame or one page, so that the bar moves and a closing window stops the
// writing between two of them.
bool ProgrammazioneMemoria::Scrivi(UCZEM2& link, std::span<const BloccoMemoria> corpo)
{
    for (const BloccoMemoria& b : corpo) {
        for (std::size_t fatto = 0; fatto < b.dati.size();) {
            const auto a = static_cast<std::uint32_t>(b.indirizzo + fatto);
            std::size_t n = link.ConfigurazioneInPRAM() ? kFramePRam : kPagina - a % kPagina;
            if (link.SingoloByte()) n = 1;
            n = std::min(n, b.dati.size() - fatto);
            bool ok = !progress_.Closing();
            if (ok) host_.DoEvents();
            ok = ok && !progress_.Closing() && link.WriteConfigBytes(a, std::span(b.dati).subspan(fatto, n));
            if (!ok) {
                host_.MsgBox("Programming memory fail.", MsgButtons::OK, MsgIcon::Critical);
                return false;
            }
            for (std::size_t i = 0; i < n; ++i) progress_.Advance();
            fatto += n;
        }
    }
    return true;
}

// What the memory must hold now: the cleared header and the last byte written at each address.
bool ProgrammazioneMemoria::Verifica(UCZEM2& link, std::span<const BloccoMemoria> corpo, const std::string& didascalia)
{
    std::map<std::uint32_t, std::uint8_t> attesi;
    for (std::uint32_t a = 0; a < kIntestazione; ++a) attesi[a] = 0;
    for (const BloccoMemoria& b : corpo)
        for (std::size_t i = 0; i < b.dati.size(); ++i) attesi[static_cast<std::uint32_t>(b.indirizzo + i)] = b.dati[i];

    // The bar runs again, by the addresses compared.
    progress_.ShowProgress(didascalia, static_cast<int>(attesi.size()));
    progress_.ShowStatus("Verifying");
    // One read covers every expected address within its reach: the bytes between two runs cost
    // less than another transfer.
    std::vector<std::uint8_t> letti;
    for (auto it = attesi.begin(); it != attesi.end();) {
        const std::uint32_t inizio = it->first;
        auto fine = attesi.lower_bound(inizio + static_cast<std::uint32_t>(kLetturaVerifica));
        letti.resize(std::prev(fine)->first - inizio + 1);
        const std::ptrdiff_t confrontati = std::distance(it, fine);
        host_.DoEvents();
        if (progress_.Closing() || !link.ReadConfigBytes(inizio, letti)) {
            host_.MsgBox("Programming memory fail.", MsgButtons::OK, MsgIcon::Critical);
            return false;
        }
        for (; it != fine; ++it) {
            if (letti[it->first - inizio] == it->second) continue;
            host_.MsgBox("Programming memory fail.\r\n" + Differenza(it->first), MsgButtons::OK, MsgIcon::Critical);
            return false;
        }
        for (std::ptrdiff_t k = 0; k < confrontati; ++k) progress_.Advance();
    }
    return true;
}

} // namespace zem
