#include "setup/FSetupOperazioni.h"

#include "profile/ProfiloZem.h"
#include "setup/NumeroDigitato.h"
#include "ui/Host.h"

#include <optional>
#include <stdexcept>
#include <string>

namespace zem {

FSetupOperazioni::FSetupOperazioni(ui::Host& host)
    : Form(host, "FSetupOperazioni", "Multi operation mode setup"),
      Frame1(*this, "Frame1"),
      opAutoSel(*this, "opAutoSel", 3, &Frame1),
      lblOperazioni(*this, "lblOperazioni", &Frame1),
      txtOperazioni(*this, "txtOperazioni", &Frame1),
      chkSelOnStart(*this, "chkSelOnStart", &Frame1),
      cmdOK(*this, "cmdOK"),
      cmdCancel(*this, "cmdCancel")
{
    SetSize(5400, 3150);
    Frame1.SetCaption("Settings");
    Frame1.Move(120, 90, 5160, 2340);
    const char* const opzioni[] = {"&No selectionable operations", "Operation are different &phases of the same job",
                                   "Operation are different &jobs"};
    for (int i = 0; i < opAutoSel.Count(); ++i) {
        opAutoSel[i].SetCaption(opzioni[i]);
        opAutoSel[i].Move(180, 300 + 360 * i, 4800, 285);
        opAutoSel[i].Click.Connect([this] { opAutoSel_Click(); });
    }
    lblOperazioni.SetCaption("Number of &selectionable operations:");
    lblOperazioni.Move(180, 1470, 3600, 255);
    txtOperazioni.Move(3840, 1425, 900, 315);
    txtOperazioni.SetSelectOnFocus(true);
    chkSelOnStart.SetCaption("&Capture the selections input status on start");
    chkSelOnStart.Move(180, 1890, 4800, 285);
    cmdOK.SetCaption("OK");
    cmdOK.SetDefault(true);
    cmdOK.Move(2640, 2610, 1260, 375);
    cmdCancel.SetCaption("Cancel");
    cmdCancel.SetCancel(true);
    cmdCancel.Move(4020, 2610, 1260, 375);

    chkSelOnStart.Click.Connect([this] { cambiato_ = true; });
    txtOperazioni.Change.Connect([this] { cambiato_ = true; });
    cmdOK.Click.Connect([this] { cmdOK_Click(); });
    cmdCancel.Click.Connect([this] { cmdCancel_Click(); });
}

bool FSetupOperazioni::ShowForm(int misura, ProfiloZem& profilo)
{
    if (misura < 1 || misura > ProfiloZem::kMisure)
        throw std::out_of_range("no measure " + std::to_string(misura) + " to set the operations of");
    misura_ = misura;
    profilo_ = &profilo;
    return ShowModal();
}

void FSetupOperazioni::Form_Load()
{
    CentreOnScreen();
    SetCaption(profilo_->NomeMisura(misura_) + " - Operation setup");
    chkSelOnStart.SetChecked(profilo_->SelOpOnStart(misura_));
    const std::int16_t operazioni = profilo_->OperazioniSelezionabili(misura_);
    if (operazioni < 1) {
        opAutoSel[0].SetValue(true);
        txtOperazioni.SetText({});
    } else {
        opAutoSel[profilo_->ConFasi(misura_) ? 1 : 2].SetValue(true);
        txtOperazioni.SetText(std::to_string(operazioni));
    }
    opAutoSel_Click();
    cambiato_ = false;
}

int FSetupOperazioni::Opzione() const
{
    for (int i = 1; i < opAutoSel.Count(); ++i)
        if (opAutoSel[i].Value()) return i;
    return 0;
}

void FSetupOperazioni::opAutoSel_Click()
{
    const int opzione = Opzione();
    const bool conOperazioni = opzione != 0;
    txtOperazioni.SetEnabled(conOperazioni);
    lblOperazioni.SetEnabled(conOperazioni);
    chkSelOnStart.SetEnabled(conOperazioni);
    const char* const etichette[] = {"Number of &selectionable operations:", "Number of &selectionable phases:",
                                     "Number of &selectionable works:"};
    lblOperazioni.SetCaption(etichette[opzione]);
    // Choosing with the mouse alone is a change too.
    cambiato_ = true;
}

void FSetupOperazioni::cmdOK_Click()
{
    if (cambiato_ && !Salva()) return;
    SetResult(true);
    Unload();
}

// Everything is judged before anything is stored, so a refused count leaves the measure as it was.
bool FSetupOperazioni::Salva()
{
    const int opzione = Opzione();
    std::int16_t operazioni = 0;
    if (opzione != 0) {
        const std::optional<std::int16_t> n = NumeroDigitato(txtOperazioni.Text()).Intero(GetHost());
        if (!n) return false;
        if (*n < 2) {
            GetHost().MsgBox(*n == 1 ? "Number of operations must be greatest than one."
                                     : "Please, insert the number of operations selectable.",
                             ui::MsgButtons::OK, ui::MsgIcon::Exclamation);
            return false;
        }
        operazioni = *n;
    }
    profilo_->SetSelOpOnStart(misura_, chkSelOnStart.Checked());
    profilo_->SetConFasi(misura_, opzione == 1);
    profilo_->SetOperazioniSelezionabili(misura_, operazioni);
    profilo_->Modificato = true;
    return true;
}

void FSetupOperazioni::cmdCancel_Click() { Unload(); }

} // namespace zem
