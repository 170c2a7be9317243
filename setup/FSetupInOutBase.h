#pragma once

#include "setup/InOutForm.h"

namespace zem {

// The inputs and outputs of a peak to peak or simplex measure.
class FSetupInOutBase final : public InOutForm {
public:
    explicit FSetupInOutBase(ui::Host& host);

    // The rows the dialog shows, in its order.
    static std::span<const Riga> Ingressi();
    static std::span<const Riga> Uscite();
};

} // namespace zem
