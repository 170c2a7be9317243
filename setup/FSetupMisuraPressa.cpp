#include "setup/FSetupMisuraPressa.h"

#include "profile/ProfiloZem.h"
#include "setup/FSetupInOutPressa.h"
#include "setup/ListaTrasduttori.h"
#include "setup/NumeroDigitato.h"

#include <string>
#include <utility>

namespace zem {

namespace {

constexpr VoceTrasduttore kTrasduttoriX[] = {
    {"Encoder #1E", 1},
    {"0-10V or 0-20mA #1B", 2},
    {"Encoder #2E", 4},
    {"0-10V or 0-20mA #2B", 5},
};

constexpr VoceTrasduttore kTrasduttoriY[] = {
    {"2mV/V or 0-10V or 0-20mA #1A", 3},
    {"0-10V or 0-20mA #1B", 2},
    {"2mV/V or 0-10V or 0-20mA #2A", 6},
    {"0-10V or 0-20mA #2B", 5},
};

} // namespace

FSetupMisuraPressa::FSetupMisuraPressa(ui::Host& host)
    : MeasureDialog(host, "FSetupMisuraPressa", "Press mode setup", " - Press mode setup"),
      chkSlave(*this, "chkSlave"),
      chkStopExt(*this, "chkStopExt"),
      enQuotaInizioOnStart(*this, "enQuotaInizioOnStart"),
      enWaitQuotaZero(*this, "enWaitQuotaZero"),
      enAutoOffset(*this, "enAutoOffset"),
      lblTrasdX(*this, "lblTrasdX"),
      lstTrasdX(*this, "lstTrasdX"),
      lblTrasdY(*this, "lblTrasdY"),
      lstTrasdY(*this, "lstTrasdY"),
      lblPresetPosition(*this, "lblPresetPosition"),
      txtPresetPosition(*this, "txtPresetPosition"),
      lblForzaMassima(*this, "lblForzaMassima"),
      txtForzaMassima(*this, "txtForzaMassima"),
      lblSpeedAcq(*this, "lblSpeedAcq"),
      txtSpeedAcq(*this, "txtSpeedAcq"),
      cmdSetupInOut(*this, "cmdSetupInOut"),
      cmdSetupOperazioni(*this, "cmdSetupOperazioni"),
      cmdOK(*this, "cmdOK"),
      cmdCancel(*this, "cmdCancel")
{
    int top = 150;
    for (auto [casella, testo] : {std::pair{&chkSlave, "&Require computer (slave mode)"},
                                  std::pair{&chkStopExt, "E&xternal stop"},
                                  std::pair{&enQuotaInizioOnStart, "Start position taken at st&art"},
                                  std::pair{&enWaitQuotaZero, "&Wait for position zero"},
                                  std::pair{&enAutoOffset, "Automatic force o&ffset"}}) {
        casella->SetCaption(testo);
        casella->Move(240, top, 4200, 300);
        Osserva(*casella);
        top += 345;
    }
    top += 120;
    Riga(lblTrasdX, "&Position transducer:", lstTrasdX, 3840, top);
    Riga(lblTrasdY, "For&ce transducer:", lstTrasdY, 3840, top);
    Riga(lblPresetPosition, "Pr&eset position:", txtPresetPosition, 1200, top);
    Riga(lblForzaMassima, "&Maximum force:", txtForzaMassima, 1200, top);
    Riga(lblSpeedAcq, "Acquisition spee&d:", txtSpeedAcq, 1200, top);
    for (ui::ComboBox* lista : {&lstTrasdX, &lstTrasdY}) Osserva(*lista);
    for (ui::TextBox* testo : {&txtPresetPosition, &txtForzaMassima, &txtSpeedAcq}) Osserva(*testo);
    Pulsanti(top + 120, cmdSetupInOut, [this] { cmdSetupInOut_Click(); }, cmdSetupOperazioni, cmdOK, cmdCancel);
}

void FSetupMisuraPressa::Carica()
{
    const ProfiloZem& p = Profilo();
    const int m = Misura();
    chkSlave.SetChecked(p.RequireComputer(m));
    chkStopExt.SetChecked(p.ExternalStop(m));
    enQuotaInizioOnStart.SetChecked(p.QuotaInizioOnStart(m));
    enWaitQuotaZero.SetChecked(p.AspettaQuotaZero(m));
    enAutoOffset.SetChecked(p.AutoOffset(m));
    // A code the list lacks selects the measure's channel: the first entry for measure 1, the
    // fourth for measure 2, in both lists alike.
    RiempiTrasduttori(lstTrasdX, kTrasduttoriX);
    if (!SelezionaTrasduttore(lstTrasdX, p.TrasduttoreX(m))) lstTrasdX.SetListIndex((m - 1) * 3);
    RiempiTrasduttori(lstTrasdY, kTrasduttoriY);
    if (!SelezionaTrasduttore(lstTrasdY, p.TrasduttoreY(m))) lstTrasdY.SetListIndex((m - 1) * 3);
    txtPresetPosition.SetText(std::to_string(p.PresetPositionTrasd(m)));
    txtForzaMassima.SetText(std::to_string(p.ForzaMassimaAssoluta(m)));
    txtSpeedAcq.SetText(std::to_string(p.AquireSpeed(m)));
}

bool FSetupMisuraPressa::Salva()
{
    const auto preset = NumeroDigitato(txtPresetPosition.Text()).LungoDaSingolo(GetHost());
    if (!preset) return false;
    const auto forza = NumeroDigitato(txtForzaMassima.Text()).Intero(GetHost());
    if (!forza) return false;
    ProfiloZem& p = Profilo();
    const int m = Misura();
    p.SetRequireComputer(m, chkSlave.Checked());
    p.SetExternalStop(m, chkStopExt.Checked());
    p.SetQuotaInizioOnStart(m, enQuotaInizioOnStart.Checked());
    p.SetAspettaQuotaZero(m, enWaitQuotaZero.Checked());
    p.SetAutoOffset(m, enAutoOffset.Checked());
    p.SetTrasduttoreX(m, TrasduttoreScelto(lstTrasdX, TrasduttoreDelCanale(m, 1)));
    p.SetTrasduttoreY(m, TrasduttoreScelto(lstTrasdY, TrasduttoreDelCanale(m, 3)));
    p.SetPresetPositionTrasd(m, *preset);
    p.SetForzaMassimaAssoluta(m, *forza);
    p.SetAquireSpeed(m, 1000);  // fixed for press measures; the box only shows it
    return true;
}

void FSetupMisuraPressa::cmdSetupInOut_Click()
{
    FSetupInOutPressa inOut(GetHost());
    inOut.ShowForm(Misura(), Profilo());
}

} // namespace zem
