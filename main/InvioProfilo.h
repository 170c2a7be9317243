#pragma once

#include "link/LinkPlatform.h"
#include "ui/Dialogs.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace zem {

namespace ui {
class Host;
}
class CollegamentoStrumento;
class PasswordGate;
class ProfiloZem;
class TransferProgress;
class UCZEM2;
struct DatiStrumento;
struct ImmagineMemoria;
struct IndirizziMemoria;

// How a send ended, for the command line's exit code.
enum class SendOutcome {
    Succeeded,  // "Sending profile successfully." was shown
    Failed,     // a failure was reported
    Refused,    // the technician answered No or Cancel, or the password was refused
};

// Sending a profile into an instrument's configuration memory: the main window's "Send profile to
// instrument" after the selection, and `zemcli send`. Its questions are message boxes; the
// terminal host answers them from flags.
class InvioProfilo {
public:
    InvioProfilo(ui::Host& host, const LinkPlatform& platform, PasswordGate& gate, TransferProgress& progress);

    // Checks the instrument named by `chiave` and the profile, asks, puts the instrument into
    // update mode, writes the profile's image and takes it out of update mode again.
    SendOutcome Invia(const ProfiloZem& profilo, const std::string& chiave);

private:
    SendOutcome Trasferisci(CollegamentoStrumento& c, const ProfiloZem& profilo);
    bool VerificaProfilo(const ProfiloZem& profilo);
    // The header's format, '4' or '5'; nothing for any other memory or a failed read.
    std::optional<char> LeggiIntestazione(UCZEM2& link);
    // An instrument opened in update mode had no header read: its calibration and transducer
    // options are read now, so that the image carries them.
    bool LeggiTaratura(UCZEM2& link, std::optional<char> formato, DatiStrumento& dati);
    // Whether the works stored match the profile; nothing when they cannot be read.
    std::optional<bool> VerificaLavori(UCZEM2& link, const ProfiloZem& profilo, const IndirizziMemoria& indirizzi);
    // What becomes of the works stored in the instrument.
    enum class Lavori { Mantieni, Cancella, Annulla, Illeggibili };
    Lavori DecidiLavori(UCZEM2& link, const ProfiloZem& profilo, const IndirizziMemoria& indirizzi,
                        std::optional<char> formato);
    bool ProgrammaMemoria(UCZEM2& link, const ImmagineMemoria& immagine, int massimo);
    // After a programming that went through: out of update mode, and a new connection to prove it.
    SendOutcome Concludi(CollegamentoStrumento& c);
    // An end before anything was written: an instrument this run put into update mode leaves it.
    SendOutcome Interrompi(CollegamentoStrumento& c, SendOutcome esito);
    bool Commuta(UCZEM2& link, bool entra);
    ui::MsgAnswer Messaggio(const std::string& testo, ui::MsgButtons pulsanti, ui::MsgIcon icona,
                            std::optional<ui::MsgAnswer> predefinito = std::nullopt);

    ui::Host& host_;
    LinkPlatform platform_;
    PasswordGate& gate_;
    TransferProgress& progress_;
};

} // namespace zem
