#include "main/InvioProfilo.h"

#include "access/PasswordGate.h"
#include "session/CollegamentoStrumento.h"
#include "main/DatiStrumento.h"
#include "main/ImmagineMemoria.h"
#include "main/ScritturaMemoria.h"
#include "main/TransferProgress.h"
#include "profile/ProfiloZem.h"
#include "ui/Host.h"

#include <array>

namespace zem {

namespace {

using ui::MsgAnswer;
using ui::MsgButtons;
using ui::MsgIcon;

constexpr std::size_t kMassimoNome = 20;        // bytes of the instrument name
constexpr std::size_t kMassimoNomeMisura = 23;  // bytes of a measure name
constexpr std::uint32_t kIndirizziMisure = 22;  // header: the record address of each measure
constexpr std::uint32_t kOpzioneTrasduttori = 61;

std::string Numero(int n) { return std::to_string(n); }

} // namespace

InvioProfilo::InvioProfilo(ui::Host& host, const LinkPlatform& platform, PasswordGate& gate, TransferProgress& progress)
    : host_(host), platform_(platform), gate_(gate), progress_(progress)
{
}

MsgAnswer InvioProfilo::Messaggio(const std::string& testo, MsgButtons pulsanti, MsgIcon icona,
                                  std::optional<MsgAnswer> predefinito)
{
    return host_.MsgBox(testo, pulsanti, icona, predefinito);
}

SendOutcome InvioProfilo::Invia(const ProfiloZem& profilo, const std::string& chiave)
{
    // Shorter than any key: the selection named no instrument, and there is nothing to tell.
    if (chiave.size() <= 4) return SendOutcome::Failed;
    CollegamentoStrumento collegamento(platform_);
    progress_.SetBusy(true);
    const bool aperto = collegamento.Apri(chiave, CollegamentoStrumento::Uso::Modifica);
    progress_.SetBusy(false);
    SendOutcome esito = SendOutcome::Failed;
    if (aperto)
        esito = Trasferisci(collegamento, profilo);
    else
        collegamento.SegnalaErroreApertura(host_);
    collegamento.Chiudi();
    return esito;
}

SendOutcome InvioProfilo::Trasferisci(CollegamentoStrumento& c, const ProfiloZem& profilo)
{
    UCZEM2& link = c.Link();
    if (!c.VerificaStrumento(host_) || !VerificaProfilo(profilo)) return Interrompi(c, SendOutcome::Failed);

    // An instrument in update mode or with a memory fault had no name read: none is shown.
    std::string domanda = "Profile: " + profilo.Nome + "\r\nInstrument: " + c.Chiave() + "\r\n";
    if (!link.UpdateMode() && !link.MemoryError()) domanda += "Old instrument name: " + link.Nome() + "\r\n";
    domanda += "\r\nSend profile settings to instrument?";
    if (host_.Ask(ui::Question::ConfirmSend, domanda, MsgButtons::YesNo, MsgIcon::Question) != MsgAnswer::Yes || !gate_.PasswordOK())
        return Interrompi(c, SendOutcome::Refused);

    // A stop asked for (a closing window, a signal) ends here while nothing is written; the
    // instrument leaves the update mode this run put it in.
    if (progress_.Closing()) return Interrompi(c, SendOutcome::Refused);
    // The technician may know better than the identity reply (a restart that took longer, an
    // instrument whose flag lies), so a failed switch is a question, not an end.
    if (!link.UpdateMode() && !Commuta(link, true)
        && host_.Ask(ui::Question::ContinueWithoutUpdateMode, "Failed to entry in \"update\" mode.\r\nDo you want to continue?",
                     MsgButtons::YesNo, MsgIcon::Critical, MsgAnswer::No)
            != MsgAnswer::Yes)
        return Interrompi(c, SendOutcome::Failed);

    if (progress_.Closing()) return Interrompi(c, SendOutcome::Refused);
    const std::optional<char> formato = LeggiIntestazione(link);
    // Read now, after the switch: the image carries the update-mode bit the instrument is in.
    DatiStrumento dati = LeggiDatiStrumento(link, profilo);
    if (!LeggiTaratura(link, formato, dati)) {
        Messaggio("Check memory error.", MsgButtons::OK, MsgIcon::Critical);
        return Interrompi(c, SendOutcome::Failed);
    }
    const std::optional<IndirizziMemoria> indirizzi = CalcolaIndirizzi(profilo, dati);
    if (!indirizzi) {
        Messaggio(kErroreIndirizzi, MsgButtons::OK, MsgIcon::Critical);
        return Interrompi(c, SendOutcome::Failed);
    }
    // The addresses come first: the works in the instrument can only be kept where the new
    // profile puts its works exactly where they already are.
    const Lavori lavori = DecidiLavori(link, profilo, *indirizzi, formato);
    if (lavori == Lavori::Illeggibili) return Interrompi(c, SendOutcome::Failed);
    if (lavori == Lavori::Annulla) return Interrompi(c, SendOutcome::Refused);
    const bool mantieni = lavori == Lavori::Mantieni;
    const std::optional<ImmagineMemoria> immagine = ImmagineMemoria::Costruisci(profilo, dati, mantieni);
    if (!immagine) {
        Messaggio(kErroreIndirizzi, MsgButtons::OK, MsgIcon::Critical);
        return Interrompi(c, SendOutcome::Failed);
    }

    // The bar's maximum is the one technicians know from the instrument's documentation; the bar
    // stops there if the image has more bytes.
    const std::int64_t totale = static_cast<std::int64_t>(indirizzi->dimensioneConfigurazione())
        + (mantieni ? 0 : indirizzi->dimensioneLavori) - 20;
    const int massimo = static_cast<int>(totale > 200 ? totale - 40 : totale);
    // A programming that failed leaves the instrument in update mode with its header cleared, so
    // that nothing takes the half-written memory for a configuration.
    if (progress_.Closing()) return Interrompi(c, SendOutcome::Refused);
    if (!ProgrammaMemoria(link, *immagine, massimo)) return SendOutcome::Failed;
    return Concludi(c);
}

bool InvioProfilo::VerificaProfilo(const ProfiloZem& p)
{
    bool ok = true;
    auto rifiuta = [&](const std::string& testo) {
        Messaggio(testo, MsgButtons::OK, MsgIcon::Exclamation);
        ok = false;
    };
    if (p.Nome.empty()) rifiuta("There isn't instrument name.");
    // The instrument keeps bytes, not characters: a name is measured as it will be stored.
    if (p.Nome.size() > kMassimoNome) rifiuta(p.Nome + "\r\nThe instrument name is too long.\r\nMax 20 characters.");
    for (int m = 1; m <= 6; ++m) {
        if (p.TipoMisura(m) == 0) continue;
        const std::string& nome = p.NomeMisura(m);
        if (nome.empty()) rifiuta("There isn't measure " + Numero(m) + " name.");
        if (nome.size() > kMassimoNomeMisura)
            rifiuta(nome + "\r\nThe measure " + Numero(m) + " name is too long.\r\nMax 23 characters.");
    }
    for (int n = 0; n < 8; ++n)
        if (p.TipoIngresso(n) == -1) rifiuta("The input " + Numero(n) + " is configured for differtent functions.");
    for (int n = 0; n < 8; ++n)
        if (p.TipoUscita(n) == -1) rifiuta("The output " + Numero(n) + " is configured for differtent functions.");
    return ok;
}

// Only the two formats this tool writes are known; anything else (a blank memory, a send cut short
// after the header was cleared, a memory test) is cleared whole.
std::optional<char> InvioProfilo::LeggiIntestazione(UCZEM2& link)
{
    std::array<std::uint8_t, 5> h{};
    if (!link.ReadConfigBytes(0, h) || h[0] != 'Z' || h[1] != 'E' || h[2] != 'M') return std::nullopt;
    if (h[3] != '5' && h[3] != '4') return std::nullopt;
    return static_cast<char>(h[3]);
}

bool InvioProfilo::LeggiTaratura(UCZEM2& link, std::optional<char> formato, DatiStrumento& dati)
{
    // The older format keeps its calibration elsewhere, where only the opening's reader finds it.
    if (link.FormatoIntestazione() != 0 || formato == '4') return true;
    std::int16_t invalido = 0;
    const auto opzione = link.ReadConfig1Byte(kOpzioneTrasduttori);
    if (!opzione || !link.LeggiValoriDiTaraturaOLD(invalido)) return false;
    dati.taratura = link.Taratura();
    dati.opzioneTrasduttori = *opzione;
    return true;
}

std::optional<bool> InvioProfilo::VerificaLavori(UCZEM2& link, const ProfiloZem& p, const IndirizziMemoria& ind)
{
    // The six record addresses in one read, then the first bytes of each record in one read.
    std::array<std::uint8_t, 12> indirizzi{};
    if (!link.ReadConfigBytes(kIndirizziMisure, indirizzi)) return std::nullopt;
    auto parola = [](std::span<const std::uint8_t> b, std::size_t i) { return b[i] | (std::uint32_t{b[i + 1]} << 8); };
    for (int m = 1; m <= 6; ++m) {
        const auto i = static_cast<std::size_t>(m - 1);
        const std::uint32_t indirizzo = parola(indirizzi, 2 * i);
        const int tipo = p.TipoMisura(m);
        if (tipo == 0) {
            if (indirizzo != 0) return false;
            continue;
        }
        if (indirizzo != ind.indirizzoRecord[i]) return false;
        std::array<std::uint8_t, 10> record{};
        if (!link.ReadConfigBytes(indirizzo, record)) return std::nullopt;
        if (record[2] != tipo || parola(record, 5) != ind.indirizzoLavori[i]
            || parola(record, 7) != IndirizziMemoria::DimensioneRecordLavoro(tipo) || record[9] != p.OperazioniSelezionabili(m))
            return false;
    }
    return true;
}

InvioProfilo::Lavori InvioProfilo::DecidiLavori(UCZEM2& link, const ProfiloZem& profilo, const IndirizziMemoria& ind,
                                                std::optional<char> formato)
{
    if (!formato) {
        return host_.Ask(ui::Question::ClearOldFormatMemory,
                         "The old memory version is not supported.\r\nAre you sure to clear the instrument memory?",
                         MsgButtons::YesNo, MsgIcon::Information, MsgAnswer::No)
                == MsgAnswer::Yes
            ? Lavori::Cancella
            : Lavori::Annulla;
    }
    const std::optional<bool> uguali = VerificaLavori(link, profilo, ind);
    if (!uguali) {
        Messaggio("Check memory error.", MsgButtons::OK, MsgIcon::Critical);
        return Lavori::Illeggibili;
    }
    if (*uguali) {
        switch (host_.Ask(ui::Question::KeepWorks, "Keep the works settings?", MsgButtons::YesNoCancel, MsgIcon::Question)) {
        case MsgAnswer::Yes: return Lavori::Mantieni;
        case MsgAnswer::No: return Lavori::Cancella;
        default: return Lavori::Annulla;
        }
    }
    return host_.Ask(ui::Question::ClearWorks, "Are you sure to clear the works settings?", MsgButtons::YesNo,
                     MsgIcon::Exclamation, MsgAnswer::No)
            == MsgAnswer::Yes
        ? Lavori::Cancella
        : Lavori::Annulla;
}

bool InvioProfilo::ProgrammaMemoria(UCZEM2& link, const ImmagineMemoria& immagine, int massimo)
{
    return ScritturaMemoria(host_, progress_).Programma(link, immagine.scritture, massimo);
}

bool InvioProfilo::Commuta(UCZEM2& link, bool entra)
{
    return ScritturaMemoria(host_, progress_).Commuta(link, entra);
}

SendOutcome InvioProfilo::Concludi(CollegamentoStrumento& c)
{
    return ScritturaMemoria(host_, progress_).Concludi(c, "Sending profile successfully.") ? SendOutcome::Succeeded
                                                                                           : SendOutcome::Failed;
}

SendOutcome InvioProfilo::Interrompi(CollegamentoStrumento& c, SendOutcome esito)
{
    return ScritturaMemoria(host_, progress_).Interrompi(c) ? esito : SendOutcome::Failed;
}

} // namespace zem
