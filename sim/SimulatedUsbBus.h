#pragma once

#include "sim/DefaultInstrument.h"
#include "sim/SimulatedBridge.h"

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

namespace zem::sim {

// What stands behind a simulated USB bridge, as a technician meets it on the bench.
enum class BridgeState {
    Normal,        // answers and holds a configuration
    UpdateMode,    // waiting for new firmware
    MemoryError,   // reports a configuration memory fault
    Silent,        // the bridge is there, the instrument does not answer
    BlankEeprom,   // the bridge was never programmed: no serial number, no description
};

struct BridgeSpec {
    std::string serial;        // serial number in the EEPROM (and on the bus)
    std::string description;   // the bridge's description
    BridgeState state = BridgeState::Normal;
    std::string instrumentName;
    std::vector<std::string> measures;  // names of the measures in its configuration
    int presses = 1;                    // how many of them, from the first, are press measures
};

// Loads a small configuration into the instrument: its name and measures of these names (the
// first `presses` press force-position measures on the same transducers, the others simplex measures).
void LoadProfile(DefaultInstrument& instrument, const std::string& name, const std::vector<std::string>& measures,
                 int presses = 1);

// Puts bridges on a simulated bus, each wired to a default instrument in the state asked for.
class SimulatedUsbBus {
public:
    SimulatedUsbBus(SimulatedBridge& bridge, Clock& clock) : bridge_(bridge), clock_(clock) {}
    SimulatedUsbBus(const SimulatedUsbBus&) = delete;
    SimulatedUsbBus& operator=(const SimulatedUsbBus&) = delete;

    // Answers the bridge's index on the bus.
    std::size_t Add(const BridgeSpec& spec);

    DefaultInstrument& Instrument(std::size_t index) { return instruments_.at(index); }

private:
    SimulatedBridge& bridge_;
    Clock& clock_;  // the instruments' press strokes run on it
    std::deque<DefaultInstrument> instruments_;  // a deque: the bridge holds on to each
};

} // namespace zem::sim
