#pragma once

#include "link/LinkPlatform.h"
#include "link/usb/GestioneUSB.h"
#include "sim/FakeClock.h"
#include "sim/SimulatedBridge.h"
#include "sim/SimulatedNetwork.h"

namespace zem::sim {

// The machine of the tests: a fake clock, the in-process network and a bus of simulated USB
// bridges. The simulated modules and instruments are put on them by whoever needs them. A test
// lets time pass for the window sockets with `network.PassTime`, usually from the scripted host's
// clock hook.
class SimulatedPlatform {
public:
    // Module commands go here unless the test aims them elsewhere.
    static constexpr const char* kBroadcastHost = "127.0.0.1";
    static constexpr std::uint32_t kBroadcastPort = 65535;

    explicit SimulatedPlatform(double timeOfDay = 36000.0);
    SimulatedPlatform(const SimulatedPlatform&) = delete;
    SimulatedPlatform& operator=(const SimulatedPlatform&) = delete;

    LinkPlatform Platform();

    FakeClock clock;
    SimulatedNetwork network{clock};
    SimulatedBridge bridge{clock};
    GestioneUSB usb{bridge, clock};
    BroadcastTarget broadcast{kBroadcastHost, kBroadcastPort};
};

} // namespace zem::sim
