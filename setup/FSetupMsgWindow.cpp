#include "setup/FSetupMsgWindow.h"

#include "profile/ProfiloZem.h"
#include "setup/ListaIngressiUscite.h"

namespace zem {

FSetupMsgWindow::FSetupMsgWindow(ui::Host& host)
    : Form(host, "FSetupMsgWindow", "Messages window - Input and output setup"),
      lblInput(*this, "lblInput", 2),
      lstInput(*this, "lstInput", 2),
      lblOutput(*this, "lblOutput", 1),
      lstOutput(*this, "lstOutput", 1),
      cmdOK(*this, "cmdOK"),
      cmdCancel(*this, "cmdCancel")
{
    SetSize(4440, 2130);
    struct Row {
        ui::Label& label;
        ui::ComboBox& list;
        const char* caption;
    };
    int top = 180;
    for (const Row& row : {Row{lblInput[0], lstInput[0], "&Clock input:"},
                           Row{lblInput[1], lstInput[1], "&Data input:"},
                           Row{lblOutput[0], lstOutput[0], "&Load output"}}) {
        row.label.SetCaption(row.caption);
        row.label.Move(180, top + 45, 1800, 255);
        row.list.Move(2100, top, 2100, 315);
        top += 450;
    }
    cmdOK.SetCaption("OK");
    cmdOK.SetDefault(true);
    cmdOK.Move(1560, 1590, 1260, 375);
    cmdCancel.SetCaption("Cancel");
    cmdCancel.SetCancel(true);
    cmdCancel.Move(2940, 1590, 1260, 375);

    for (int i = 0; i < lstInput.Count(); ++i) lstInput[i].Click.Connect([this] { cambiato_ = true; });
    lstOutput[0].Click.Connect([this] { cambiato_ = true; });
    cmdOK.Click.Connect([this] { cmdOK_Click(); });
    cmdCancel.Click.Connect([this] { cmdCancel_Click(); });
}

bool FSetupMsgWindow::ShowForm(ProfiloZem& profilo)
{
    profilo_ = &profilo;
    return ShowModal();
}

void FSetupMsgWindow::Form_Load()
{
    CentreOnScreen();
    lista_io::Riempi(lstInput[0], profilo_->nInputClock);
    lista_io::Riempi(lstInput[1], profilo_->nInputDato);
    lista_io::Riempi(lstOutput[0], profilo_->nOutputClear);
    cambiato_ = false;
}

void FSetupMsgWindow::cmdOK_Click()
{
    if (cambiato_) {
        profilo_->nInputClock = lista_io::Scelta(lstInput[0], profilo_->nInputClock);
        profilo_->nInputDato = lista_io::Scelta(lstInput[1], profilo_->nInputDato);
        profilo_->nOutputClear = lista_io::Scelta(lstOutput[0], profilo_->nOutputClear);
        profilo_->Modificato = true;
    }
    SetResult(true);
    Unload();
}

void FSetupMsgWindow::cmdCancel_Click() { Unload(); }

} // namespace zem
