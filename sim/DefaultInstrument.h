#pragma once

#include "link/Clock.h"
#include "sim/SimulatedAcquisition.h"
#include "sim/SimulatedCurves.h"
#include "sim/SimulatedDiagnostics.h"
#include "sim/SimulatedInstrument.h"
#include "sim/SimulatedMemory.h"
#include "sim/SimulatedPress.h"
#include "sim/SimulatedStrokes.h"
#include "sim/SimulatedWorks.h"

#include <cstdint>

namespace zem::sim {

// The simulated instrument that zemsim serves and the demo talks to, with every simulated feature
// installed. It is the one place that puts the default instrument together: a feature the
// simulator gains (memories, update mode, works, diagnostics) becomes a member here. The
// features hold on to the instrument, so this object stays where it was made.
class DefaultInstrument {
public:
    // Identity: release 11 (configuration reached directly, no mailbox), not in update mode, no
    // memory error; instrument type 14. Its configuration memory holds a small profile.
    static constexpr const char* kNome = "ZEM SIMULATOR";

    // The press it watches moves on this clock.
    explicit DefaultInstrument(Clock& clock);
    DefaultInstrument(const DefaultInstrument&) = delete;
    DefaultInstrument& operator=(const DefaultInstrument&) = delete;

    SimulatedInstrument& Instrument() { return instrument_; }
    SimulatedCurves& Curves() { return curves_; }
    SimulatedMemory& Memory() { return memory_; }
    SimulatedDiagnostics& Diagnostics() { return diagnostics_; }
    SimulatedAcquisition& Acquisition() { return acquisition_; }
    SimulatedStrokes& Strokes() { return strokes_; }

private:
    SimulatedInstrument instrument_;
    SimulatedMemory memory_{instrument_};  // identity, version, memories, flash, restart
    SimulatedCurves curves_{instrument_};  // commands 9 and 10
    SimulatedWorks works_{instrument_, memory_};  // commands 6, 7 and 35
    SimulatedPress press_;
    SimulatedDiagnostics diagnostics_{instrument_, press_};  // commands 20 to 23, 31 and 36
    SimulatedAcquisition acquisition_{instrument_, memory_};  // commands 2, 4, 5, 8, 11, 16, 18, 19, 29
    SimulatedStrokes strokes_{press_, curves_, acquisition_, memory_, works_};  // pieces, once started
};

} // namespace zem::sim
