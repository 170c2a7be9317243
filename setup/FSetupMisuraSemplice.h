#pragma once

#include "setup/ValueMeasureDialog.h"

namespace zem {

// The setup of a simplex measure; the technician types its acquisition speed.
class FSetupMisuraSemplice final : public ValueMeasureDialog {
public:
    explicit FSetupMisuraSemplice(ui::Host& host);

private:
    std::optional<std::int16_t> Velocita() override;
};

} // namespace zem
