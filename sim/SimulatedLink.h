#pragma once

#include "link/UCZEM2.h"
#include "link/usb/GestioneUSB.h"
#include "sim/DefaultInstrument.h"
#include "sim/FakeClock.h"
#include "sim/InstrumentEndpoint.h"
#include "sim/SimulatedBridge.h"
#include "sim/SimulatedCurves.h"
#include "sim/SimulatedNetwork.h"

#include <memory>
#include <string>

namespace zem::sim {

// A whole link on simulated time: the default instrument behind a simulated USB bridge and behind
// its Ethernet module on the in-process network, and a `UCZEM2` that can reach it either way.
class SimulatedLink {
public:
    static constexpr const char* kHost = "127.0.0.1";
    static constexpr std::uint32_t kPort = 7000;
    static constexpr const char* kSerial = "ZEM10001";
    static constexpr const char* kDescription = "ZEM simulated instrument";
    // Every driver call costs this much simulated time, as a USB round trip does.
    static constexpr double kDriverCallSeconds = 50e-6;
    // Time from a datagram to the module's answer, as on a local network.
    static constexpr double kNetworkSeconds = 200e-6;

    explicit SimulatedLink(double timeOfDay = 36000.0);
    SimulatedLink(const SimulatedLink&) = delete;
    SimulatedLink& operator=(const SimulatedLink&) = delete;

    bool OpenEth() { return link.ApriPortaETH(kHost, kPort); }
    bool OpenUsb() { return link.ApriPortaUSB(kSerial); }

    FakeClock clock;
    DefaultInstrument model;
    SimulatedInstrument& instrument;
    SimulatedCurves& curves;
    SimulatedNetwork network;
    InstrumentEndpoint endpoint;
    std::unique_ptr<SimulatedSocket> socket;
    SimulatedBridge bridge;
    std::size_t device;  // index of the instrument's bridge on the bus
    GestioneUSB usb;
    UCZEM2 link;
};

} // namespace zem::sim
