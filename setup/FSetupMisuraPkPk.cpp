#include "setup/FSetupMisuraPkPk.h"

namespace zem {

namespace {

constexpr ValueMeasureDialog::Trasduttori kTrasduttori = {{
    {"Encoder #1E", 1},
    {"0-10V #1B (Potentiometer)", 2},
    {"2mV/V #1A (Load cell)", 3},
    {"Encoder #2E", 4},
    {"0-10V #2B (Potentiometer)", 5},
    {"2mV/V #2A (Load cell)", 6},
}};

} // namespace

FSetupMisuraPkPk::FSetupMisuraPkPk(ui::Host& host)
    : ValueMeasureDialog(host, "FSetupMisuraPkPk", "Setup peak to peak measure",
                         " - Setup peak to peak measure", kTrasduttori)
{
}

} // namespace zem
