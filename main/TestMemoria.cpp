#include "main/TestMemoria.h"

#include "session/CollegamentoStrumento.h"
#include "main/ScritturaMemoria.h"
#include "main/TransferProgress.h"
#include "ui/Host.h"

#include <algorithm>
#include <array>
#include <vector>

namespace zem {

namespace {

using ui::MsgAnswer;
using ui::MsgButtons;
using ui::MsgIcon;

constexpr std::uint32_t kUltimoIndirizzo = 10000;  // passes 1 and 2
constexpr std::size_t kFrame = 18;                 // data bytes of one PRAM frame
constexpr int kLinee = 19;                         // address lines of the parameter RAM
constexpr std::uint32_t kComplemento = (1u << kLinee) - 1;

std::uint8_t Modello(std::uint32_t a) { return static_cast<std::uint8_t>(a & 255); }

constexpr const char* kFermatoPrima = "Memory test stopped: nothing was written, the instrument is as it was found.";
constexpr const char* kFermatoDurante = "Memory test stopped: the instrument stays in update mode with no configuration: "
                                        "send a profile to it.";

} // namespace

TestMemoria::TestMemoria(ui::Host& host, const LinkPlatform& platform, TransferProgress& progress)
    : host_(host), platform_(platform), progress_(progress)
{
}

TestMemoria::Esito TestMemoria::Errore(const std::string& testo)
{
    host_.MsgBox(testo, MsgButtons::OK, MsgIcon::Critical);
    return Esito::Fallito;
}

TestMemoria::Esito TestMemoria::Esegui(const std::string& chiave)
{
    if (chiave.size() <= 4) return Esito::Rifiutato;
    // The test leaves the memory cleared: a key pressed by habit must not start it.
    if (host_.Ask(ui::Question::ClearInstrumentMemory, "Are you sure to clear the instrument memory?",
                  MsgButtons::YesNoCancel, MsgIcon::Question, MsgAnswer::No)
        != MsgAnswer::Yes)
        return Esito::Rifiutato;
    // The send's opening: an instrument whose configuration is refused is switched into update
    // mode, which is where the test needs it anyway.
    CollegamentoStrumento c(platform_);
    progress_.SetBusy(true);
    const bool aperto = c.Apri(chiave, CollegamentoStrumento::Uso::Modifica);
    progress_.SetBusy(false);
    Esito esito = Esito::Fallito;
    UCZEM2& link = c.Link();
    if (!aperto) {
        esito = Errore(c.Occupato().value_or("Communication error"));
    } else if (progress_.Closing()) {
        esito = Fermato(c);
    } else if (!link.UpdateMode() && !ScritturaMemoria(host_, progress_).Commuta(link, true)) {
        esito = Errore("Communication to set update mode error.");
    } else if (!link.UpdateMode()) {
        esito = Errore("Set update mode fail.");
    } else if (progress_.Closing()) {
        esito = Fermato(c);
    } else if (const std::array<std::uint8_t, 4> zeri{}; !link.WriteConfigBytes(0, zeri)) {
        esito = Errore("Clearing memory fail.");
    } else {
        fermato_ = false;
        const bool ok = Scrittura(link) && Verifica(link) && LineeIndirizzo(link);
        progress_.HideProgress();
        if (ok) {
            host_.MsgBox("Test memory OK", MsgButtons::OK, MsgIcon::Information);
            esito = Esito::Superato;
        } else {
            esito = Errore(fermato_ ? kFermatoDurante : "Test memory fail.");
        }
    }
    // Update mode is not left once the memory was cleared: it holds no configuration until a
    // profile is sent.
    c.Chiudi();
    return esito;
}

// A stop before the memory was cleared: the instrument goes back to work as it was found.
TestMemoria::Esito TestMemoria::Fermato(CollegamentoStrumento& c)
{
    if (!ScritturaMemoria(host_, progress_).Interrompi(c)) return Esito::Fallito;
    host_.MsgBox(kFermatoPrima, MsgButtons::OK, MsgIcon::Information);
    return Esito::Rifiutato;
}

// A stop asked for (a closing window, a signal) ends a pass between two of its steps.
bool TestMemoria::Continua()
{
    fermato_ = fermato_ || progress_.Closing();
    return !fermato_;
}

bool TestMemoria::Scrittura(UCZEM2& link)
{
    progress_.ShowProgress("Memory test: Writing (1/3)", static_cast<int>(kUltimoIndirizzo));
    return PerFrame(link, [&](std::uint32_t a, std::span<std::uint8_t> modello) { return link.ScriviPRam(a, modello); });
}

bool TestMemoria::Verifica(UCZEM2& link)
{
    progress_.ShowProgress("Memory test: Verify (2/3)", static_cast<int>(kUltimoIndirizzo));
    std::array<std::uint8_t, kFrame> letti{};
    return PerFrame(link, [&](std::uint32_t a, std::span<std::uint8_t> modello) {
        const auto parte = std::span(letti).first(modello.size());
        return link.LeggiPRam(a, parte) && std::equal(parte.begin(), parte.end(), modello.begin());
    });
}

// Addresses 0 to 10000 in one PRAM frame at a time, each with its pattern.
bool TestMemoria::PerFrame(UCZEM2& link, const std::function<bool(std::uint32_t, std::span<std::uint8_t>)>& passo)
{
    const std::size_t frame = link.SingoloByte() ? 1 : kFrame;
    std::array<std::uint8_t, kFrame> modello{};
    for (std::uint32_t a = 0; a <= kUltimoIndirizzo;) {
        const auto n = static_cast<std::uint32_t>(std::min<std::size_t>(frame, kUltimoIndirizzo + 1 - a));
        for (std::uint32_t i = 0; i < n; ++i) modello[i] = Modello(a + i);
        if (!Continua() || !passo(a, std::span(modello).first(n))) return false;
        for (std::uint32_t i = 0; i < n; ++i)
            if (a + i > 0) progress_.Advance();
        host_.DoEvents();
        a += n;
    }
    return true;
}

// Address 0 keeps pass 1's 0 through this pass on a sound memory; a power of two that lands on it
// shows a stuck or missing address line, which the 0x55 cells alone, all alike, cannot show.
bool TestMemoria::LineeIndirizzo(UCZEM2& link)
{
    progress_.ShowProgress("Memory test: Random (3/3)", kLinee);
    for (int k = 1; k <= kLinee; ++k) {
        if (!Continua()) return false;
        std::vector<std::uint32_t> celle;
        if (k > 1) celle.push_back(1u << (k - 2));
        celle.push_back(1u << (k - 1));
        if (k < kLinee) celle.push_back(1u << k);
        for (const std::uint32_t a : celle)
            if (!link.WritePRam1Byte(a, 0x55)) return false;
        auto intatte = [&] {
            for (const std::uint32_t a : celle)
                if (link.ReadPRam1Byte(a) != 0x55) return false;
            return true;
        };
        if (!intatte()) return false;
        const std::uint32_t complemento = kComplemento - (1u << (k - 1));
        if (!link.WritePRam1Byte(complemento, 0xAA) || link.ReadPRam1Byte(complemento) != 0xAA) return false;
        if (!intatte() || link.ReadPRam1Byte(0) != Modello(0)) return false;
        progress_.Advance();
        host_.DoEvents();
    }
    return true;
}

} // namespace zem
