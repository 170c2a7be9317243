#pragma once

#include "discovery/FSceltaStrumento.h"
#include "sim/ModulesEndpoint.h"
#include "sim/SimulatedModules.h"
#include "sim/SimulatedPlatform.h"
#include "sim/SimulatedUsbBus.h"
#include "ui/ScriptedHost.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace zem {
inline void PrintTo(const FSceltaStrumento::Voce& v, std::ostream* os) { *os << v.nome << " | " << v.chiave << " | " << v.info; }
}

namespace zem::test {

// Three bridges the selection lists (a normal instrument, one in update mode, one with a memory
// error), two it leaves out (a blank EEPROM, a serial of another maker) and two Ethernet modules,
// all on simulated time; the scripted host moves the clock and the window sockets together.
class SelectionSite {
public:
    using Row = FSceltaStrumento::Voce;

    SelectionSite()
    {
        // Each driver call costs the time of a USB round trip, so that waits on a silent bridge end.
        platform.bridge.SetCallDuration(50e-6);
        bus.Add({"MR4A0001", "ZEM MR4 USB", sim::BridgeState::Normal, "PRESS 2", {"FORCE", ""}});
        bus.Add({"MR4A0002", "ZEM MR4 USB", sim::BridgeState::UpdateMode, "", {}});
        bus.Add({"FT1234", "Other device", sim::BridgeState::Normal, "", {}});
        bus.Add({"mr4a0003", "ZEM MR4 USB", sim::BridgeState::MemoryError, "", {}});
        bus.Add({"FT0000B1", "", sim::BridgeState::BlankEeprom, "", {}});
        modules.Add({"00-20-4A-00-00-01", "127.0.0.2", 7001, {"0", "0", "0"}, "ZEMA-1"});
        modules.Add({"00-20-4A-00-00-02", "127.0.0.3", 7002, {"1", "2", "3"}, "ZEMA-2"});
        endpoint = std::make_unique<sim::ModulesEndpoint>(platform.network, modules, platform.broadcast.host,
                                                          platform.broadcast.port);
        host.OnClockAdvance([this](double seconds) { platform.network.PassTime(seconds); });
    }

    // Shows the window; `play` acts as the technician and must leave it closed.
    std::optional<std::string> Show(bool soloRete, bool soloUSB, std::function<void(FSceltaStrumento&)> play)
    {
        host.OnForm("FSceltaStrumento", [play](ui::Form& f) { play(static_cast<FSceltaStrumento&>(f)); });
        return window->LoadForm("Diagnosis", soloRete, soloUSB);
    }

    std::vector<Row> Rows() const { return window->Elenco(); }
    std::size_t Sent() const { return modules.Received().size(); }

    sim::SimulatedPlatform platform;
    sim::SimulatedUsbBus bus{platform.bridge, platform.clock};
    sim::SimulatedModules modules{platform.clock};
    std::unique_ptr<sim::ModulesEndpoint> endpoint;
    ui::ScriptedHost host;
    std::unique_ptr<FSceltaStrumento> window = std::make_unique<FSceltaStrumento>(host, platform.Platform());
};

} // namespace zem::test
