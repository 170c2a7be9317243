#include "setup/FSetupMisuraSemplice.h"

#include "setup/NumeroDigitato.h"

namespace zem {

namespace {

constexpr ValueMeasureDialog::Trasduttori kTrasduttori = {{
    {"Encoder #1E", 1},
    {"0-10V #1B", 2},
    {"2mV/V #1A", 3},
    {"Encoder #2E", 4},
    {"0-10V #2B", 5},
    {"2mV/V #2A", 6},
}};

} // namespace

FSetupMisuraSemplice::FSetupMisuraSemplice(ui::Host& host)
    : ValueMeasureDialog(host, "FSetupMisuraSemplice", "Setup simplex measure", " - Setup simplex measure",
                         kTrasduttori)
{
}

std::optional<std::int16_t> FSetupMisuraSemplice::Velocita()
{
    return NumeroDigitato(txtSpeedAcq.Text()).Intero(GetHost());
}

} // namespace zem
