#pragma once

namespace zem {

// A timer of the link control: the container (window or test) ticks the handler while it is enabled.
// The link only switches it on and off, so an exchange can never be entered from a tick.
struct LinkTimer {
    bool Enabled = false;
    int Interval = 0;  // milliseconds
};

} // namespace zem
