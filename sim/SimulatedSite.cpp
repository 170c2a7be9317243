#include "sim/SimulatedSite.h"

#include "sim/StandardModules.h"

namespace zem::sim {

SimulatedSite::SimulatedSite()
{
    bus_.Add({kSerialPress, "ZEM MR4 USB", BridgeState::Normal, "LINE 1 PRESS", {"PRESS FIT", "HEIGHT"}});
    bus_.Add({kSerialRivet, "ZEM MR4 USB", BridgeState::Normal, "LINE 2 RIVETING", {"RIVET"}});
    bus_.Add({"MR4A1003", "ZEM MR4 USB", BridgeState::UpdateMode, "", {}});
    bus_.Add({"MR4A1004", "ZEM MR4 USB", BridgeState::MemoryError, "", {}});
    bus_.Add({"FT5K2Q9Z", "USB serial cable", BridgeState::Normal, "", {}});
    bus_.Add({"FT000000", "", BridgeState::BlankEeprom, "", {}});
    AddStandardModules(modules_, 0);
    LoadProfile(modules_[0].Instrument(), "LINE 3 PRESS", {"PRESS FIT", "DEPTH", "HEIGHT"});
    LoadProfile(modules_[1].Instrument(), "LINE 4 BENCH", {"LEAK TEST"});
    // The presses make pieces, on USB and behind a module, for the curve window.
    bus_.Instrument(0).Strokes().Avvia();
    modules_[0].Instrument().Strokes().Avvia();
}

bool SimulatedSite::Start()
{
    server_ = std::make_unique<UdpModuleServer>(modules_, clock_);
    return server_->Start();
}

BroadcastTarget SimulatedSite::Broadcast() const
{
    return {"127.0.0.1", server_ ? server_->Port() : 0u};
}

} // namespace zem::sim
