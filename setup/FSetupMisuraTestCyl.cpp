#include "setup/FSetupMisuraTestCyl.h"

#include "profile/ProfiloZem.h"
#include "setup/FSetupInOutTestCyl.h"
#include "setup/ListaTrasduttori.h"

#include <string>

namespace zem {

namespace {

constexpr VoceTrasduttore kTrasduttoriX[] = {
    {"Encoder #1E", 1},
    {"0-10V Potentiometer #1B", 2},
    {"Encoder #2E", 4},
    {"0-10V Potentiometer #2B", 5},
};

// The load cell beside the position transducer: measures 1 and 2 use their own channel; measures
// 3 to 6 have none, so the channel of the position transducer chosen decides (3 x m would give a
// code no instrument has).
std::int16_t CellaDiCarico(int misura, std::int16_t trasduttoreX)
{
    if (misura <= 2) return static_cast<std::int16_t>(3 * misura);
    return trasduttoreX <= 3 ? std::int16_t{3} : std::int16_t{6};
}

} // namespace

FSetupMisuraTestCyl::FSetupMisuraTestCyl(ui::Host& host)
    : MeasureDialog(host, "FSetupMisuraTestCyl", "Test cylinders mode setup", " - Test cylinders mode setup"),
      chkSlave(*this, "chkSlave"),
      enQuotaInizioOnStart(*this, "enQuotaInizioOnStart"),
      lblTrasdX(*this, "lblTrasdX"),
      lstTrasdX(*this, "lstTrasdX"),
      lblForzaMassima(*this, "lblForzaMassima"),
      txtForzaMassima(*this, "txtForzaMassima"),
      lblSpeedAcq(*this, "lblSpeedAcq"),
      txtSpeedAcq(*this, "txtSpeedAcq"),
      cmdSetupInOut(*this, "cmdSetupInOut"),
      cmdSetupOperazioni(*this, "cmdSetupOperazioni"),
      cmdOK(*this, "cmdOK"),
      cmdCancel(*this, "cmdCancel")
{
    chkSlave.SetCaption("&Require computer (slave mode)");
    chkSlave.Move(240, 150, 4200, 300);
    enQuotaInizioOnStart.SetCaption("Start position taken at st&art");
    enQuotaInizioOnStart.Move(240, 495, 4200, 300);
    Osserva(chkSlave);
    Osserva(enQuotaInizioOnStart);
    int top = 960;
    Riga(lblTrasdX, "&Position transducer:", lstTrasdX, 3840, top);
    Riga(lblForzaMassima, "&Maximum force:", txtForzaMassima, 1200, top);
    Riga(lblSpeedAcq, "Acquisition spee&d:", txtSpeedAcq, 1200, top);
    Osserva(lstTrasdX);
    Osserva(txtForzaMassima);
    Osserva(txtSpeedAcq);
    Pulsanti(top + 120, cmdSetupInOut, [this] { cmdSetupInOut_Click(); }, cmdSetupOperazioni, cmdOK, cmdCancel);
}

void FSetupMisuraTestCyl::Carica()
{
    const ProfiloZem& p = Profilo();
    const int m = Misura();
    chkSlave.SetChecked(p.RequireComputer(m));
    enQuotaInizioOnStart.SetChecked(p.QuotaInizioOnStart(m));
    RiempiTrasduttori(lstTrasdX, kTrasduttoriX);
    if (!SelezionaTrasduttore(lstTrasdX, p.TrasduttoreX(m))) lstTrasdX.SetListIndex(m <= 2 ? 3 * (m - 1) : 3);
    txtForzaMassima.SetText(std::to_string(p.ForzaMassimaAssoluta(m)));
    txtSpeedAcq.SetText(std::to_string(p.AquireSpeed(m)));
}

bool FSetupMisuraTestCyl::Salva()
{
    ProfiloZem& p = Profilo();
    const int m = Misura();
    // Test cylinders neither take the start position nor wait for zero, whatever the box shows;
    // the force limit and the speed are fixed.
    p.SetRequireComputer(m, chkSlave.Checked());
    p.SetQuotaInizioOnStart(m, false);
    p.SetAspettaQuotaZero(m, false);
    const std::int16_t x = TrasduttoreScelto(lstTrasdX, TrasduttoreDelCanale(m, 1));
    p.SetTrasduttoreX(m, x);
    p.SetTrasduttoreY(m, CellaDiCarico(m, x));
    p.SetForzaMassimaAssoluta(m, 0);
    p.SetAquireSpeed(m, 1000);
    return true;
}

void FSetupMisuraTestCyl::cmdSetupInOut_Click()
{
    FSetupInOutTestCyl inOut(GetHost());
    inOut.ShowForm(Misura(), Profilo());
}

} // namespace zem
