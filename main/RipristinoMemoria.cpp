#include "main/RipristinoMemoria.h"

#include "access/PasswordGate.h"
#include "main/LetturaBackup.h"
#include "main/ScritturaMemoria.h"
#include "main/TransferProgress.h"
#include "session/CollegamentoStrumento.h"
#include "ui/Host.h"

#include <fstream>
#include <iterator>

namespace zem {

namespace {

using ui::MsgAnswer;
using ui::MsgButtons;
using ui::MsgIcon;

constexpr std::uint32_t kByteModo = 4;  // bit 7 chooses update mode at the next restart
constexpr std::uint8_t kBitUpdateMode = 0x80;
constexpr std::size_t kIntestazione = 4;

// The backup as the writer's image: the header cleared, every other byte, the header last. Byte 4
// keeps the update mode the instrument is in, so that only leaving it restarts into service.
std::vector<ScritturaImmagine> Scritture(const std::vector<std::uint8_t>& bytes)
{
    std::vector<ScritturaImmagine> s;
    s.reserve(bytes.size() + kIntestazione);
    for (std::uint32_t a = 0; a < kIntestazione; ++a) s.push_back({a, 0});
    for (std::uint32_t a = kIntestazione; a < bytes.size(); ++a)
        s.push_back({a, static_cast<std::uint8_t>(a == kByteModo ? bytes[a] | kBitUpdateMode : bytes[a])});
    for (std::uint32_t a = 0; a < kIntestazione; ++a) s.push_back({a, bytes[a]});
    return s;
}

} // namespace

RipristinoMemoria::RipristinoMemoria(ui::Host& host, const LinkPlatform& platform, PasswordGate& gate,
                                     TransferProgress& progress)
    : host_(host), platform_(platform), gate_(gate), progress_(progress)
{
}

std::optional<std::string> RipristinoMemoria::ScegliFile(const std::string& cartella)
{
    ui::FileDialogRequest request;
    request.kind = ui::FileDialogKind::Open;
    request.title = "Restore memory";
    request.defaultExtension = "zemmem";
    request.initialFolder = cartella;
    request.filter = "ZEM memory backup|*.zemmem|All files (*.*)|*.*";
    request.fileMustExist = true;
    return host_.ChooseFile(request);
}

std::optional<std::vector<std::uint8_t>> RipristinoMemoria::LeggiFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::string testo{std::istreambuf_iterator<char>(in), {}};
    if (!in && !in.eof()) {
        host_.MsgBox("Open file error.\r\n" + path, MsgButtons::OK, MsgIcon::Exclamation);
        return std::nullopt;
    }
    LetturaBackup letto = LeggiBackup(testo);
    if (!letto.Valida()) {
        host_.MsgBox("Memory backup file error at line " + std::to_string(letto.rigaErrata) + ".\r\n" + path,
                     MsgButtons::OK, MsgIcon::Exclamation);
        return std::nullopt;
    }
    return std::move(letto.bytes);
}

RipristinoMemoria::Esito RipristinoMemoria::Ripristina(const std::string& chiave, std::optional<std::string> file,
                                                       const std::string& cartella)
{
    if (chiave.size() < 5) return Esito::Rifiutato;
    if (!file) file = ScegliFile(cartella);
    if (!file) return Esito::Rifiutato;
    // The file is checked before the instrument is touched: a broken backup writes nothing.
    const auto bytes = LeggiFile(*file);
    if (!bytes) return Esito::Fallito;

    CollegamentoStrumento c(platform_);
    ScritturaMemoria scrittura(host_, progress_);
    progress_.SetBusy(true);
    const bool aperto = c.Apri(chiave, CollegamentoStrumento::Uso::Modifica);
    progress_.SetBusy(false);
    Esito esito = Esito::Fallito;
    auto interrompi = [&](Esito e) { return scrittura.Interrompi(c) ? e : Esito::Fallito; };
    if (!aperto) {
        c.SegnalaErroreApertura(host_);
    } else if (!c.VerificaStrumento(host_)) {
        esito = interrompi(Esito::Fallito);
    } else {
        UCZEM2& link = c.Link();
        std::string domanda = "Memory backup: " + *file + "\r\nInstrument: " + chiave + "\r\n";
        if (!link.UpdateMode() && !link.MemoryError()) domanda += "Old instrument name: " + link.Nome() + "\r\n";
        domanda += "\r\nRestore memory backup to instrument?";
        // Every byte of the instrument's memory is replaced: a key pressed by habit must not do it.
        if (host_.Ask(ui::Question::ConfirmRestore, domanda, MsgButtons::YesNo, MsgIcon::Question, MsgAnswer::No) != MsgAnswer::Yes
            || !gate_.PasswordOK()) {
            esito = interrompi(Esito::Rifiutato);
        } else if (progress_.Closing()) {
            // A stop asked for (a closing window, a signal) while nothing is written.
            esito = interrompi(Esito::Rifiutato);
        } else if (!link.UpdateMode() && !scrittura.Commuta(link, true)) {
            host_.MsgBox("Set update mode fail.", MsgButtons::OK, MsgIcon::Critical);
            esito = interrompi(Esito::Fallito);
        } else if (progress_.Closing()) {
            esito = interrompi(Esito::Rifiutato);
        } else {
            const auto scritture = Scritture(*bytes);
            const int massimo = static_cast<int>(scritture.size() - 2 * kIntestazione);
            // A programming that failed leaves the header cleared, in update mode.
            if (scrittura.Programma(link, scritture, massimo)
                && scrittura.Concludi(c, "Restoring memory successfully."))
                esito = Esito::Completato;
        }
    }
    c.Chiudi();
    return esito;
}

} // namespace zem
