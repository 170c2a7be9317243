#include "setup/FSetupStrumento.h"

#include "profile/ProfiloZem.h"
#include "setup/FSetupMisuraPkPk.h"
#include "setup/FSetupMisuraPressa.h"
#include "setup/FSetupMisuraSemplice.h"
#include "setup/FSetupMisuraTestCyl.h"
#include "setup/FSetupMsgWindow.h"
#include "setup/NumeroDigitato.h"
#include "ui/Host.h"

#include <string>

namespace zem {

namespace {

constexpr int kRighe = ProfiloZem::kMisure;
constexpr int kTipoPressa = 1;
constexpr int kTipoTestCyl = 4;
constexpr int kIndirizzoMassimo = 250;  // addresses run 0..249

// Blanks at either end are not part of a name.
std::string Trim(const std::string& testo)
{
    const auto inizio = testo.find_first_not_of(' ');
    if (inizio == std::string::npos) return {};
    return testo.substr(inizio, testo.find_last_not_of(' ') - inizio + 1);
}

} // namespace

FSetupStrumento::FSetupStrumento(ui::Host& host)
    : Form(host, "FSetupStrumento", "Main settings"),
      Frame1(*this, "Frame1"),
      lblNome(*this, "lblNome", &Frame1),
      txtNome(*this, "txtNome", &Frame1),
      lblAddressRS(*this, "lblAddressRS", &Frame1),
      txtAddressRS(*this, "txtAddressRS", &Frame1),
      Check1(*this, "Check1", &Frame1),
      cmdSetupMsg(*this, "cmdSetupMsg", &Frame1),
      lblColonnaNome(*this, "lblColonnaNome", &Frame1),
      lblColonnaTipo(*this, "lblColonnaTipo", &Frame1),
      lblMisura(*this, "lblMisura", kRighe, &Frame1),
      txtNomeMisura(*this, "txtNomeMisura", kRighe, &Frame1),
      lstTipoMisura(*this, "lstTipoMisura", kRighe, &Frame1),
      cmdSetup(*this, "cmdSetup", kRighe, &Frame1),
      cmdOK(*this, "cmdOK"),
      cmdCancel(*this, "cmdCancel")
{
    SetSize(8400, 5220);
    Frame1.SetCaption("&ZEM AUTOMATION configuration");
    Frame1.Move(120, 90, 8160, 4440);
    lblNome.SetCaption("&Name of ZEM AUTOMATION:");
    lblNome.Move(180, 345, 3300, 255);
    txtNome.Move(3540, 300, 3000, 315);
    lblAddressRS.SetCaption("&Serial port (RS232/RS485) address:");
    lblAddressRS.Move(180, 765, 3300, 255);
    txtAddressRS.Move(3540, 720, 900, 315);
    Check1.SetCaption("Use window for machine &messages");
    Check1.Move(180, 1170, 3600, 285);
    cmdSetupMsg.SetCaption("Setup...");
    cmdSetupMsg.Move(3840, 1125, 1020, 345);
    lblColonnaNome.SetCaption("Measure name");
    lblColonnaNome.Move(1200, 1680, 2880, 255);
    lblColonnaTipo.SetCaption("Type");
    lblColonnaTipo.Move(4200, 1680, 2640, 255);
    for (int i = 0; i < kRighe; ++i) {
        const int top = 1980 + 390 * i;
        lblMisura[i].SetCaption("Measure " + std::to_string(i + 1));
        lblMisura[i].Move(180, top + 45, 960, 255);
        txtNomeMisura[i].Move(1200, top, 2880, 315);
        lstTipoMisura[i].Move(4200, top, 2640, 315);
        cmdSetup[i].SetCaption("Setup...");
        cmdSetup[i].Move(6960, top - 15, 1020, 345);
        txtNomeMisura[i].Change.Connect([this] { cambiato_ = true; });
        lstTipoMisura[i].Click.Connect([this] { lstTipoMisura_Click(); });
        cmdSetup[i].Click.Connect([this, i] { cmdSetup_Click(i); });
    }
    cmdOK.SetCaption("OK");
    cmdOK.SetDefault(true);
    cmdOK.Move(5640, 4710, 1260, 375);
    cmdCancel.SetCaption("Cancel");
    cmdCancel.SetCancel(true);
    cmdCancel.Move(7020, 4710, 1260, 375);

    txtNome.Change.Connect([this] { cambiato_ = true; });
    txtAddressRS.Change.Connect([this] { cambiato_ = true; });
    Check1.Click.Connect([this] { Check1_Click(); });
    cmdSetupMsg.Click.Connect([this] { cmdSetupMsg_Click(); });
    cmdOK.Click.Connect([this] { cmdOK_Click(); });
    cmdCancel.Click.Connect([this] { cmdCancel_Click(); });
}

bool FSetupStrumento::ShowForm(ProfiloZem& profilo)
{
    profilo_ = &profilo;
    return ShowModal();
}

void FSetupStrumento::Form_Load()
{
    CentreOnScreen();
    msgScelti_ = false;
    txtNome.SetMaxLength(20);
    txtNome.SetText(profilo_->Nome);
    txtAddressRS.SetText(std::to_string(profilo_->IndirizzoRS485));
    Check1.SetChecked(profilo_->TipoSinottico == 1);
    cmdSetupMsg.SetEnabled(Check1.Checked());
    for (int i = 0; i < kRighe; ++i) {
        txtNomeMisura[i].SetMaxLength(23);
        txtNomeMisura[i].SetText(Trim(profilo_->NomeMisura(i + 1)));
        ui::ComboBox& lista = lstTipoMisura[i];
        lista.Clear();
        lista.AddItem("Not in use");
        lista.AddItem(i < 2 ? "Press force-position" : "Reserved");
        for (const char* tipo : {"Peak to peak measure", "Simplex measure", "Test cylinders"}) lista.AddItem(tipo);
        lista.SetListIndex(profilo_->TipoMisura(i + 1));
    }
    AggiornaRighe();
    cambiato_ = false;
}

int FSetupStrumento::Tipo(int index) const
{
    const int scelto = lstTipoMisura[index].ListIndex();
    return scelto >= 0 ? scelto : profilo_->TipoMisura(index + 1);
}

void FSetupStrumento::AggiornaRighe()
{
    for (int i = 0; i < kRighe; ++i) {
        const int tipo = Tipo(i);
        txtNomeMisura[i].SetEnabled(tipo != 0);
        cmdSetup[i].SetEnabled(tipo != 0 && !(i >= 2 && tipo == kTipoPressa));
    }
}

void FSetupStrumento::lstTipoMisura_Click()
{
    cambiato_ = true;
    AggiornaRighe();
}

void FSetupStrumento::Check1_Click()
{
    cmdSetupMsg.SetEnabled(Check1.Checked());
    cambiato_ = true;
}

void FSetupStrumento::cmdSetup_Click(int index)
{
    if (!Salva(false)) return;
    const int misura = index + 1;
    switch (Tipo(index)) {
    case 1: FSetupMisuraPressa(GetHost()).ShowForm(misura, *profilo_); break;
    case 2: FSetupMisuraPkPk(GetHost()).ShowForm(misura, *profilo_); break;
    case 3: FSetupMisuraSemplice(GetHost()).ShowForm(misura, *profilo_); break;
    case 4: FSetupMisuraTestCyl(GetHost()).ShowForm(misura, *profilo_); break;
    default: break;
    }
}

void FSetupStrumento::cmdSetupMsg_Click()
{
    if (FSetupMsgWindow(GetHost()).ShowForm(*profilo_)) msgScelti_ = true;
}

void FSetupStrumento::cmdOK_Click()
{
    if (cambiato_ && !Salva(true)) return;
    SetResult(true);
    Unload();
}

void FSetupStrumento::cmdCancel_Click() { Unload(); }

bool FSetupStrumento::Rifiuta(const char* messaggio)
{
    GetHost().MsgBox(messaggio, ui::MsgButtons::OK, ui::MsgIcon::Exclamation);
    return false;
}

bool FSetupStrumento::Salva(bool conTrasduttori)
{
    // Checks first: a refused save leaves the profile as it was.
    if (Tipo(1) == kTipoPressa && Tipo(0) != kTipoPressa)
        return Rifiuta("The \"press\" type most be selected on the first.");
    for (int i = 2; i < kRighe; ++i)
        if (Tipo(i) == kTipoPressa) return Rifiuta("The \"reseved\" type is not selectable.");
    for (int i = 0; i < kRighe; ++i)
        if (Tipo(i) != 0 && Trim(txtNomeMisura[i].Text()).empty())
            return Rifiuta("Insert name for all measure selected.");
    // Judged as it will be stored, so "249.5" is the 250 it would become.
    const double indirizzo = NumeroDigitato(txtAddressRS.Text()).Arrotondato();
    bool valido = true;
    if (indirizzo < 0) valido = Rifiuta("The address must be positive.");
    if (indirizzo >= kIndirizzoMassimo) valido = Rifiuta("The address must be less than 250.");
    if (!valido) return false;

    ProfiloZem& p = *profilo_;
    const ProfiloZem prima = p;
    p.Nome = Trim(txtNome.Text());
    if (Check1.Checked()) {
        // Defaults only for a window newly put to use: choices already made are kept.
        if (p.TipoSinottico != 1 && !msgScelti_) {
            p.nInputClock = 1;
            p.nInputDato = 2;
            p.nOutputClear = 1;
        }
        p.TipoSinottico = 1;
    } else {
        p.TipoSinottico = 0;
    }
    p.IndirizzoRS485 = static_cast<std::int16_t>(indirizzo);
    p.BaudrateCOMM = 9600;
    for (int i = 0; i < kRighe; ++i) {
        p.SetNomeMisura(i + 1, Trim(txtNomeMisura[i].Text()));
        p.SetTipoMisura(i + 1, static_cast<std::int16_t>(Tipo(i)));
    }
    // Opening a measure's setup stores these fields first; storing them unchanged changes nothing.
    p.Modificato = p.Modificato || !(p == prima);
    if (!conTrasduttori) return true;

    // After the store, as the measure dialogs are completed afterwards.
    for (int m = 1; m <= kRighe; ++m) {
        const int tipo = p.TipoMisura(m);
        const bool senzaX = (tipo == kTipoPressa || tipo == kTipoTestCyl) && p.TrasduttoreX(m) == 0;
        const bool senzaY = tipo != 0 && p.TrasduttoreY(m) == 0;
        if (senzaX || senzaY) return Rifiuta("It did not select the transducer for all measurements.");
    }
    return true;
}

} // namespace zem
