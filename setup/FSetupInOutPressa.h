#pragma once

#include "setup/InOutForm.h"

namespace zem {

// The inputs and outputs of a press force-position measure.
class FSetupInOutPressa final : public InOutForm {
public:
    explicit FSetupInOutPressa(ui::Host& host);
};

} // namespace zem
