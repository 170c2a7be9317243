#pragma once

#include "setup/ValueMeasureDialog.h"

namespace zem {

// The setup of a peak to peak measure; its acquisition speed is fixed.
class FSetupMisuraPkPk final : public ValueMeasureDialog {
public:
    explicit FSetupMisuraPkPk(ui::Host& host);

private:
    std::optional<std::int16_t> Velocita() override { return 1000; }
};

} // namespace zem
