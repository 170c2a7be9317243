#include "diagnosis/dlgCalEncoderZEM.h"

#include "diagnosis/CampiTaratura.h"
#include "diagnosis/TestoNumeri.h"
#include "link/UCZEM2.h"
#include "setup/NumeroDigitato.h"

namespace zem {

dlgCalEncoderZEM::dlgCalEncoderZEM(ui::Form& owner, std::string name, ui::Frame& container)
    : UserControl(owner, std::move(name)),
      lblGain(owner, Key("lblGain"), &container),
      txtGain(owner, Key("txtGain"), &container),
      lblOffset(owner, Key("lblOffset"), &container),
      txtOffset(owner, Key("txtOffset"), &container),
      lblUM(owner, Key("lblUM"), &container),
      lstUM(owner, Key("lstUM"), &container),
      lblDecimali(owner, Key("lblDecimali"), &container),
      lstDecimali(owner, Key("lstDecimali"), &container),
      lblADC(owner, Key("lblADC"), &container),
      txtADC(owner, Key("txtADC"), &container),
      lblValore(owner, Key("lblValore"), &container),
      txtValore(owner, Key("txtValore"), &container),
      Timer1(owner, Key("Timer1"))
{
    CampiTaratura{lblGain, txtGain, lblOffset, txtOffset, lblUM, lstUM, lblDecimali, lstDecimali}.Disponi(
        [this] { Modifica(); });
    lblADC.SetCaption("Counter:");
    lblADC.Move(3000, 390, 1300, 255);
    txtADC.Move(4400, 360, 1800, 315);
    txtADC.SetLocked(true);
    lblValore.SetCaption("Position:");
    lblValore.Move(3000, 810, 1300, 255);
    txtValore.Move(4400, 780, 1800, 315);
    txtValore.SetLocked(true);
    Timer1.SetEnabled(false);

    Timer1.Elapsed.Connect([this] { Timer1_Timer(); });
}

void dlgCalEncoderZEM::SetValue(UCZEM2& link, int canale)
{
    txtGain.SetText(TestoDecimale(link.GainEncoder(canale)));
    txtOffset.SetText(std::to_string(link.OffsetEncoder(canale)));
    // Encoder positions are always millimetres with two decimals.
    lstUM.Clear();
    lstUM.AddItem("mm");
    lstUM.SetListIndex(0);
    lstDecimali.Clear();
    lstDecimali.AddItem("2");
    lstDecimali.SetListIndex(0);
    modificato_ = false;
    Timer1.SetInterval(400);
    Timer1.SetEnabled(true);
}

float dlgCalEncoderZEM::Gain() const
{
    return static_cast<float>(NumeroDigitato(txtGain.Text()).Valore());
}

std::int32_t dlgCalEncoderZEM::Offset() const
{
    return InteroDigitato(txtOffset.Text());
}

std::int16_t dlgCalEncoderZEM::Decimali() const
{
    return static_cast<std::int16_t>(lstDecimali.ListIndex());
}

void dlgCalEncoderZEM::Timer1_Timer()
{
    std::int32_t conteggio = 0;
    bool ok = false;
    Raise(GetValue, conteggio, ok);
    if (!ok) {
        txtADC.SetText("");
        txtValore.SetText("");
        return;
    }
    txtADC.SetText(std::to_string(conteggio));
    const double offset = NumeroDigitato(txtOffset.Text()).Valore();
    const double gain = NumeroDigitato(txtGain.Text()).Valore();
    txtValore.SetText(TestoFisso((conteggio - offset) * gain / 100.0, 2));
}

} // namespace zem
