#pragma once

#include "setup/InOutForm.h"

namespace zem {

// The inputs and outputs of a test-cylinders measure.
class FSetupInOutTestCyl final : public InOutForm {
public:
    explicit FSetupInOutTestCyl(ui::Host& host);

    // The rows the dialog shows, in its order.
    static std::span<const Riga> Ingressi();
    static std::span<const Riga> Uscite();
};

} // namespace zem
