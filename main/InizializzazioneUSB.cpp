#include "main/InizializzazioneUSB.h"

#include "discovery/FSceltaStrumento.h"
#include "link/usb/GestioneUSB.h"
#include "main/FListaSN.h"
#include "session/InstrumentClaim.h"
#include "ui/Host.h"

#include <algorithm>

namespace zem {

InizializzazioneUSB::InizializzazioneUSB(ui::Host& host, LinkPlatform platform, SettingsStore& settings,
                                         std::string vecchiaCartella)
    : host_(host), platform_(std::move(platform)), settings_(settings), vecchiaCartella_(std::move(vecchiaCartella))
{
}

bool InizializzazioneUSB::Run(std::optional<std::string> chiave)
{
    if (!chiave) {
        FSceltaStrumento scelta(host_, platform_);
        chiave = scelta.LoadForm("Initialize USB", false, true);
        if (!chiave) return false;
    }
    // A blank bridge's key carries no serial number, so it is read here rather than as a key.
    if (chiave->rfind("USB:", 0) != 0) return false;
    std::string seriale = chiave->substr(4);
    seriale.erase(0, std::min(seriale.find_first_not_of(' '), seriale.size()));

    // A send or a second programming on the same bridge meanwhile would meet a bridge renamed under it.
    const InstrumentClaim claim(*chiave, platform_.claimScope);
    if (!claim.Held()) {
        host_.MsgBox(claim.Refusal(), ui::MsgButtons::OK, ui::MsgIcon::Critical);
        return false;
    }
    GestioneUSB& usb = platform_.usb;
    if (seriale.empty()) {
        // Every bridge counts, programmed or blank: with two, the blank one cannot be told apart.
        if (usb.ElencaDispositiviUSB("") != 1) {
            host_.MsgBox("Connecting only one instrument to prevent ambiguity", ui::MsgButtons::OK, ui::MsgIcon::Critical);
            return false;
        }
        if (host_.Ask(ui::Question::ProgramEeprom, "Are you sure to program EEprom?", ui::MsgButtons::YesNoCancel, ui::MsgIcon::Question,
                         ui::MsgAnswer::No) != ui::MsgAnswer::Yes)
            return false;
    }
    FT_HANDLE handle = usb.ApriDispositivoUSB(seriale);
    if (handle == 0) {
        host_.MsgBox("Communication with USB device error", ui::MsgButtons::OK, ui::MsgIcon::Critical);
        return false;
    }
    FListaSN registro(host_, settings_, vecchiaCartella_);
    std::string nome, nuovoSeriale;
    bool programmato = false;
    // The line is on record before the number is in the chip: no serial number leaves unrecorded.
    if (registro.Load(kCodice, nome, nuovoSeriale) && registro.Registra()) {
        usb.ImpostaDatiEEPROM(nome, nuovoSeriale);
        programmato = usb.ScriviEEPROM(handle);
        if (!programmato) {
            host_.MsgBox("EEProm setup fail.", ui::MsgButtons::OK, ui::MsgIcon::Critical);
            registro.Ritira();
        }
    }
    usb.ChiudiDispositivoUSB(handle);
    if (!programmato) return false;
    registro.Conferma();
    host_.MsgBox("Unplug then plug the instrument for identification.", ui::MsgButtons::OK, ui::MsgIcon::Exclamation);
    return true;
}

} // namespace zem
