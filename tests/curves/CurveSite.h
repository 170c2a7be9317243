#pragma once

#include "diagnosis/CurveMonitor.h"
#include "sim/InstrumentEndpoint.h"
#include "sim/SimulatedPlatform.h"
#include "sim/SimulatedUsbBus.h"
#include "ui/ScriptedHost.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zem::test {

// A press instrument making pieces, on a simulated USB bridge and behind its Ethernet module, all
// on simulated time; the scripted host's timers move the clock and the window sockets together.
class CurveSite {
public:
    static constexpr const char* kUsb = "USB: MR4A0001";
    static constexpr const char* kIp = "IP:127.0.0.1:7000";

    CurveSite()
    {
        platform.bridge.SetCallDuration(50e-6);
        endpoint.latencySeconds = 200e-6;
        press.Strokes().scartoOgni = 2;
        press.Strokes().Avvia();
        host.OnClockAdvance([this](double s) { platform.network.PassTime(s); });
    }

    // The container's side: a tick every kTickMs for `seconds`.
    void Pass(CurveMonitor& monitor, double seconds)
    {
        for (double t = 0; t < seconds; t += CurveMonitor::kTickMs / 1000.0) {
            platform.network.PassTime(CurveMonitor::kTickMs / 1000.0);
            monitor.Tick();
        }
    }

    sim::SimulatedPlatform platform;
    sim::SimulatedUsbBus bus{platform.bridge, platform.clock};
    sim::DefaultInstrument& press =
        bus.Instrument(bus.Add({"MR4A0001", "ZEM MR4 USB", sim::BridgeState::Normal, "LINE 1", {"PRESS FIT", "HEIGHT"}}));
    sim::InstrumentEndpoint endpoint{platform.network, press.Instrument(), "127.0.0.1", 7000};
    ui::ScriptedHost host;
};

inline std::string Canale(const ::testing::TestParamInfo<bool>& info) { return info.param ? "USB" : "Ethernet"; }

} // namespace zem::test
