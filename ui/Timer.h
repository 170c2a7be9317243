#pragma once

#include "ui/Control.h"

namespace zem::ui {

// A window timer. While Enabled with a positive Interval (milliseconds) the host delivers a
// tick every Interval; changing either property starts the count again.
class Timer final : public Control {
public:
    Timer(Form& owner, std::string name, int index = -1);

    int Interval() const { return interval_; }
    void SetInterval(int milliseconds);
    // Enabled, with an interval, on a loaded form that is not closing.
    bool Running() const;

    Event<> Elapsed;

    // Called by the host when the interval has passed; false when the timer is not running.
    bool Tick();

private:
    int interval_ = 0;
};

} // namespace zem::ui
