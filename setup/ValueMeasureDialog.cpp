#include "setup/ValueMeasureDialog.h"

#include "profile/ProfiloZem.h"
#include "setup/FSetupInOutBase.h"

#include <string>

namespace zem {

ValueMeasureDialog::ValueMeasureDialog(ui::Host& host, std::string name, std::string caption,
                                       std::string suffisso, const Trasduttori& trasduttori)
    : MeasureDialog(host, std::move(name), std::move(caption), std::move(suffisso)),
      chkSlave(*this, "chkSlave"),
      lblTrasduttoreMisura(*this, "lblTrasduttoreMisura"),
      lstTrasduttoreMisura(*this, "lstTrasduttoreMisura"),
      lblNomeValore(*this, "lblNomeValore"),
      txtNomeValore(*this, "txtNomeValore"),
      lblSpeedAcq(*this, "lblSpeedAcq"),
      txtSpeedAcq(*this, "txtSpeedAcq"),
      cmdSetupInOut(*this, "cmdSetupInOut"),
      cmdSetupOperazioni(*this, "cmdSetupOperazioni"),
      cmdOK(*this, "cmdOK"),
      cmdCancel(*this, "cmdCancel"),
      trasduttori_(trasduttori)
{
    chkSlave.SetCaption("&Require computer (slave mode)");
    chkSlave.Move(240, 150, 4200, 300);
    Osserva(chkSlave);
    int top = 600;
    Riga(lblTrasduttoreMisura, "&Transducer measured:", lstTrasduttoreMisura, 3840, top);
    Riga(lblNomeValore, "&Name of the value:", txtNomeValore, 3840, top);
    Riga(lblSpeedAcq, "Acquisition spee&d:", txtSpeedAcq, 1200, top);
    txtNomeValore.SetMaxLength(15);  // what the instrument keeps of the name
    Osserva(lstTrasduttoreMisura);
    Osserva(txtNomeValore);
    Osserva(txtSpeedAcq);
    Pulsanti(top + 120, cmdSetupInOut, [this] { cmdSetupInOut_Click(); }, cmdSetupOperazioni, cmdOK, cmdCancel);
}

void ValueMeasureDialog::Carica()
{
    const ProfiloZem& p = Profilo();
    const int m = Misura();
    chkSlave.SetChecked(p.RequireComputer(m));
    RiempiTrasduttori(lstTrasduttoreMisura, trasduttori_);
    SelezionaTrasduttore(lstTrasduttoreMisura, p.TrasduttoreY(m));  // code 0 selects nothing
    txtNomeValore.SetText(p.NomeValore(m));
    txtSpeedAcq.SetText(std::to_string(p.AquireSpeed(m)));
}

bool ValueMeasureDialog::Salva()
{
    const auto velocita = Velocita();
    if (!velocita) return false;
    ProfiloZem& p = Profilo();
    const int m = Misura();
    p.SetRequireComputer(m, chkSlave.Checked());
    p.SetTrasduttoreY(m, TrasduttoreScelto(lstTrasduttoreMisura, 0));
    std::string nome = txtNomeValore.Text();
    nome.erase(0, nome.find_first_not_of(' '));
    nome.erase(nome.find_last_not_of(' ') + 1);
    p.SetNomeValore(m, std::move(nome));
    p.SetAquireSpeed(m, *velocita);
    return true;
}

void ValueMeasureDialog::cmdSetupInOut_Click()
{
    FSetupInOutBase inOut(GetHost());
    inOut.ShowForm(Misura(), Profilo());
}

} // namespace zem
