#include "setup/MeasureDialog.h"

#include "profile/ProfiloZem.h"
#include "setup/FSetupOperazioni.h"
#include "ui/CheckBox.h"
#include "ui/CommandButton.h"
#include "ui/Label.h"
#include "ui/ListControl.h"
#include "ui/TextBox.h"

#include <stdexcept>

namespace zem {

MeasureDialog::MeasureDialog(ui::Host& host, std::string name, std::string caption, std::string suffisso)
    : Form(host, std::move(name), std::move(caption)), suffisso_(std::move(suffisso))
{
}

bool MeasureDialog::ShowForm(int misura, ProfiloZem& profilo)
{
    if (misura < 1 || misura > ProfiloZem::kMisure)
        throw std::out_of_range("no measure " + std::to_string(misura));
    misura_ = misura;
    profilo_ = &profilo;
    cambiato_ = false;
    return ShowModal();
}

void MeasureDialog::Osserva(ui::CheckBox& casella)
{
    casella.Click.Connect([this] { cambiato_ = true; });
}

void MeasureDialog::Osserva(ui::ListControl& lista)
{
    lista.Click.Connect([this] { cambiato_ = true; });
}

void MeasureDialog::Osserva(ui::TextBox& testo)
{
    testo.SetSelectOnFocus(true);
    testo.Change.Connect([this] { cambiato_ = true; });
}

void MeasureDialog::Riga(ui::Label& etichetta, const char* testo, ui::Control& controllo, int larghezza, int& top)
{
    etichetta.SetCaption(testo);
    etichetta.Move(240, top + 45, 2160, 255);
    controllo.Move(2400, top, larghezza, 315);
    top += 420;
}

void MeasureDialog::Pulsanti(int top, ui::CommandButton& cmdSetupInOut, std::function<void()> inOut,
                             ui::CommandButton& cmdSetupOperazioni, ui::CommandButton& cmdOK,
                             ui::CommandButton& cmdCancel)
{
    cmdSetupInOut.SetCaption("&Inputs and outputs...");
    cmdSetupInOut.Move(240, top, 2160, 375);
    cmdSetupOperazioni.SetCaption("&Operations...");
    cmdSetupOperazioni.Move(2520, top, 1500, 375);
    cmdOK.SetCaption("OK");
    cmdOK.SetDefault(true);
    cmdOK.Move(4200, top, 1000, 375);
    cmdCancel.SetCaption("Cancel");
    cmdCancel.SetCancel(true);
    cmdCancel.Move(5280, top, 1000, 375);
    SetSize(6480, top + 555);

    cmdSetupInOut.Click.Connect(std::move(inOut));
    cmdSetupOperazioni.Click.Connect([this] { cmdSetupOperazioni_Click(); });
    cmdOK.Click.Connect([this] { cmdOK_Click(); });
    cmdCancel.Click.Connect([this] { cmdCancel_Click(); });
}

void MeasureDialog::Form_Load()
{
    CentreOnScreen();
    SetCaption(profilo_->NomeMisura(misura_) + suffisso_);
    Carica();
    cambiato_ = false;
}

void MeasureDialog::cmdOK_Click()
{
    if (cambiato_) {
        if (!Salva()) return;
        profilo_->Modificato = true;
    }
    SetResult(true);
    Unload();
}

void MeasureDialog::cmdCancel_Click() { Unload(); }

void MeasureDialog::cmdSetupOperazioni_Click()
{
    FSetupOperazioni operazioni(GetHost());
    operazioni.ShowForm(misura_, *profilo_);
}

} // namespace zem
