#include "diagnosis/CampiTaratura.h"

namespace zem {

void CampiTaratura::Disponi(const std::function<void()>& modifica) const
{
    lblGain.SetCaption("Gain:");
    lblGain.Move(240, 390, 1000, 255);
    txtGain.Move(1320, 360, 1300, 315);
    txtGain.SetSelectOnFocus(true);
    lblOffset.SetCaption("Offset:");
    lblOffset.Move(240, 810, 1000, 255);
    txtOffset.Move(1320, 780, 1300, 315);
    txtOffset.SetSelectOnFocus(true);
    lblUM.SetCaption("Unit:");
    lblUM.Move(240, 1230, 1000, 255);
    lstUM.Move(1320, 1200, 1300, 315);
    lblDecimali.SetCaption("Decimals:");
    lblDecimali.Move(240, 1650, 1000, 255);
    lstDecimali.Move(1320, 1620, 1300, 315);
    txtGain.Change.Connect(modifica);
    txtOffset.Change.Connect(modifica);
    lstUM.Click.Connect(modifica);
    lstDecimali.Click.Connect(modifica);
}

} // namespace zem
