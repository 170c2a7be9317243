#pragma once

#include "sim/SimulatedCurves.h"
#include "sim/SimulatedInstrument.h"

#include <cstdint>

namespace zem::sim {

// The simulated instrument that zemsim serves and the demo talks to, with every simulated feature
// installed. It is the one place that puts the default instrument together: a feature the
// simulator gains (memories, update mode, works, diagnostics) becomes a member here. The
// features hold on to the instrument, so this object stays where it was made.
class DefaultInstrument {
public:
    // Identity reply: release 11 (configuration reached directly, no mailbox), not in update
    // mode, no memory error; instrument type 14.
    static constexpr std::uint8_t kIdentityFlags = 11;
    static constexpr std::uint8_t kTypeCode = 14;

    DefaultInstrument();
    DefaultInstrument(const DefaultInstrument&) = delete;
    DefaultInstrument& operator=(const DefaultInstrument&) = delete;

    SimulatedInstrument& Instrument() { return instrument_; }
    SimulatedCurves& Curves() { return curves_; }

private:
    SimulatedInstrument instrument_;
    SimulatedCurves curves_{instrument_};  // commands 9 and 10
};

} // namespace zem::sim
