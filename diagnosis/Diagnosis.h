#pragma once

#include "link/LinkPlatform.h"

#include <functional>

namespace zem {

class PasswordGate;

namespace ui {
class Host;
}

// The main window's diagnosis: the instrument chosen in the selection window, opened once to
// check that this tool knows it, then the diagnosis window on it.
class Diagnosis {
public:
    // `indicatore`: the main window's busy indication, for the opening and the calibration write.
    Diagnosis(ui::Host& host, LinkPlatform platform, PasswordGate& gate, std::function<void(bool)> indicatore = {});

    // False when no instrument was chosen or it cannot be diagnosed here; true once the diagnosis
    // window has run (or its caution prompt was cancelled).
    bool Run();

private:
    ui::Host& host_;
    LinkPlatform platform_;
    PasswordGate& gate_;
    std::function<void(bool)> indicatore_;
};

} // namespace zem
