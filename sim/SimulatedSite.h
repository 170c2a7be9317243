#pragma once

#include "link/Clock.h"
#include "link/net/BroadcastTarget.h"
#include "sim/FakeClock.h"
#include "sim/SimulatedBridge.h"
#include "sim/SimulatedModules.h"
#include "sim/SimulatedUsbBus.h"
#include "sim/UdpModuleServer.h"

#include <memory>

namespace zem::sim {

// What `zemsetup --simulate` and `zemcli --simulate` serve inside the program, so that the
// selection window shows a bench worth looking at: bridges on a simulated USB bus with their
// instruments in several states, and the standard Ethernet modules on UDP loopback, each with its
// instrument. The module commands go to the command port on 127.0.0.1.
class SimulatedSite {
public:
    static constexpr const char* kSerialPress = "MR4A1001";
    static constexpr const char* kSerialRivet = "MR4A1002";

    SimulatedSite();
    SimulatedSite(const SimulatedSite&) = delete;
    SimulatedSite& operator=(const SimulatedSite&) = delete;

    // Serves the modules on threads of their own; false when loopback cannot be had.
    bool Start();
    D2xx& UsbDriver() { return bridge_; }
    // Where the module commands go once started.
    BroadcastTarget Broadcast() const;

private:
    // The instruments' press strokes run on the wall clock.
    SystemClock clock_;
    // The bridges answer at once; their own clock only counts what the bus is asked to delay.
    FakeClock busClock_;
    SimulatedBridge bridge_{busClock_};
    SimulatedUsbBus bus_{bridge_, clock_};
    SimulatedModules modules_{clock_};
    std::unique_ptr<UdpModuleServer> server_;
};

} // namespace zem::sim
