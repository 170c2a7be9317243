#include "diagnosis/dlgCalAnalogZEM.h"

#include "diagnosis/CampiTaratura.h"
#include "diagnosis/TestoNumeri.h"
#include "link/UCZEM2.h"
#include "setup/NumeroDigitato.h"
#include "ui/Form.h"
#include "ui/Host.h"

#include <algorithm>
#include <cmath>

namespace zem {

namespace {

constexpr int kMassimoLettura = 4095;  // raw readings are 12-bit
constexpr int kLetturePerOffset = 128;
constexpr int kMinimoLettureBuone = 10;

} // namespace

dlgCalAnalogZEM::dlgCalAnalogZEM(ui::Form& owner, std::string name, ui::Frame& container)
    : UserControl(owner, std::move(name)),
      lblGain(owner, Key("lblGain"), &container),
      txtGain(owner, Key("txtGain"), &container),
      lblOffset(owner, Key("lblOffset"), &container),
      txtOffset(owner, Key("txtOffset"), &container),
      cmdCalcOffset(owner, Key("cmdCalcOffset"), &container),
      lblUM(owner, Key("lblUM"), &container),
      lstUM(owner, Key("lstUM"), &container),
      lblDecimali(owner, Key("lblDecimali"), &container),
      lstDecimali(owner, Key("lstDecimali"), &container),
      opReverse(owner, Key("opReverse"), &container),
      lblTitoloADC(owner, Key("lblTitoloADC"), &container),
      lblADC(owner, Key("lblADC"), &container),
      lblTitoloValore(owner, Key("lblTitoloValore"), &container),
      lblValore(owner, Key("lblValore"), &container),
      Timer1(owner, Key("Timer1"))
{
    CampiTaratura{lblGain, txtGain, lblOffset, txtOffset, lblUM, lstUM, lblDecimali, lstDecimali}.Disponi(
        [this] { Modifica(); });
    cmdCalcOffset.SetCaption("Calculate offset");
    cmdCalcOffset.Move(2760, 750, 1800, 375);
    // Nothing to read from before the window hands the link over.
    cmdCalcOffset.SetEnabled(false);
    for (const char* d : {"0", "1", "2", "3"}) lstDecimali.AddItem(d);
    opReverse.SetCaption("Reverse");
    opReverse.Move(2760, 1200, 1800, 315);
    opReverse.SetVisible(false);
    lblTitoloADC.SetCaption("Input value:");
    lblTitoloADC.Move(4800, 390, 1800, 255);
    lblADC.Move(4800, 690, 1800, 255);
    lblTitoloValore.SetCaption("Calibrated value:");
    lblTitoloValore.Move(4800, 1230, 1800, 255);
    lblValore.Move(4800, 1530, 1800, 255);
    Timer1.SetEnabled(false);

    opReverse.Click.Connect([this] { Modifica(); });
    cmdCalcOffset.Click.Connect([this] { cmdCalcOffset_Click(); });
    Timer1.Elapsed.Connect([this] { Timer1_Timer(); });
}

void dlgCalAnalogZEM::SetValue(UCZEM2& link, int canale, bool potenziometro, int uso)
{
    link_ = &link;
    canale_ = canale;
    potenziometro_ = potenziometro;
    uso_ = uso;

    std::int32_t um = 0;
    if (potenziometro_) {
        txtGain.SetText(TestoDecimale(link.GainADC010(canale)));
        txtOffset.SetText(std::to_string(link.OffsetADC010(canale)));
        opReverse.SetChecked(link.ReverseADC010(canale));
        opReverse.SetVisible(true);
        um = link.UM_ADC010(canale);
        decimaliMemorizzati_ = link.DecimaliADC010(canale);
    } else {
        txtGain.SetText(TestoDecimale(link.GainCella(canale)));
        txtOffset.SetText(std::to_string(link.OffsetCella(canale)));
        um = link.UM_Cella(canale);
        decimaliMemorizzati_ = link.DecimaliCella(canale);
    }

    lstUM.Clear();
    if (uso_ == kPosizione) {
        lstUM.AddItem("mm");
        lstUM.SetListIndex(0);
    } else if (uso_ == kForza) {
        lstUM.AddItem("daN");
        lstUM.AddItem("KN");
        lstUM.SetListIndex(um == kKN ? 1 : 0);
    } else {
        lstUM.AddItem("daN");
        lstUM.AddItem("KN");
        lstUM.AddItem("mm");
        int scelta = potenziometro_ ? 2 : 0;
        if (um == kDaN) scelta = 0;
        else if (um == kKN) scelta = 1;
        else if (um == kMm) scelta = 2;
        lstUM.SetListIndex(scelta);
    }
    // A stored value the list does not offer leaves the selection as it was.
    if (decimaliMemorizzati_ >= 0 && decimaliMemorizzati_ < lstDecimali.ListCount())
        lstDecimali.SetListIndex(decimaliMemorizzati_);

    modificato_ = false;
    cmdCalcOffset.SetEnabled(true);
    Timer1.SetInterval(400);
    Timer1.SetEnabled(true);
}

float dlgCalAnalogZEM::Gain() const
{
    return static_cast<float>(NumeroDigitato(txtGain.Text()).Valore());
}

std::int32_t dlgCalAnalogZEM::Offset() const
{
    return InteroDigitato(txtOffset.Text());
}

std::int32_t dlgCalAnalogZEM::UM() const
{
    if (uso_ == kPosizione) return kMm;
    if (uso_ == kForza) return lstUM.ListIndex() == 1 ? kKN : kDaN;
    switch (lstUM.ListIndex()) {
    case 0: return kDaN;
    case 1: return kKN;
    case 2: return kMm;
    default: return potenziometro_ ? kMm : kDaN;
    }
}

std::int16_t dlgCalAnalogZEM::Decimali() const
{
    // Without a selection the instrument keeps what it has.
    const int scelta = lstDecimali.ListIndex();
    return scelta >= 0 ? static_cast<std::int16_t>(scelta) : decimaliMemorizzati_;
}

bool dlgCalAnalogZEM::Invertito() const
{
    // The display follows the direction chosen here, whatever the instrument applies now.
    return potenziometro_ && opReverse.Checked() != link_->ReverseADC010(canale_);
}

std::int16_t dlgCalAnalogZEM::Lettura(const Trasduttori& t) const
{
    if (potenziometro_) return canale_ == 2 ? t.A4 : t.A3;
    return canale_ == 2 ? t.A2 : t.A1;
}

void dlgCalAnalogZEM::Timer1_Timer()
{
    std::int16_t lettura = 0;
    bool ok = false;
    Raise(GetValue, lettura, ok);
    if (!ok) {
        lblADC.SetCaption("");
        lblValore.SetCaption("");
        return;
    }
    const int raw = Invertito() ? kMassimoLettura - lettura : lettura;
    lblADC.SetCaption(std::to_string(raw));

    const double offset = NumeroDigitato(txtOffset.Text()).Valore();
    const double gain = NumeroDigitato(txtGain.Text()).Valore();
    // A value beyond 16 bits shows as 0, as the instrument could not hold it either.
    const std::int16_t v = Intero16((raw - offset) * gain).value_or(0);
    const int decimali = std::clamp<int>(Decimali(), 0, 4);
    const auto valore = static_cast<float>(v / std::pow(10.0, decimali));
    lblValore.SetCaption(TestoFisso(valore, decimali));
}

void dlgCalAnalogZEM::cmdCalcOffset_Click()
{
    ui::Host& host = Owner().GetHost();
    host.SetBusy(true);
    std::int32_t somma = 0;
    int buone = 0;
    for (int i = 0; i < kLetturePerOffset; ++i) {
        const auto t = link_->LeggiTrasduttori();
        if (!t) continue;
        const int v = Lettura(*t);
        somma += Invertito() ? kMassimoLettura - v : v;
        ++buone;
    }
    if (buone > kMinimoLettureBuone)
        txtOffset.SetText(std::to_string(Intero16(static_cast<double>(somma) / buone).value_or(0)));
    host.SetBusy(false);
}

} // namespace zem
