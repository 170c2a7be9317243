#pragma once

#include "access/PasswordGate.h"
#include "diagnosis/FDiagnosi.h"
#include "profile/SettingsStore.h"
#include "sim/SimulatedPlatform.h"
#include "sim/SimulatedUsbBus.h"
#include "ui/CommandButton.h"
#include "ui/ScriptedHost.h"
#include "ui/TextBox.h"

namespace zem::test {

// The diagnosis window on the scripted host, against simulated instruments on USB whose presses
// move with the host's timers: a normal one, one in update mode, one with a memory error.
class DiagnosisBench {
public:
    static constexpr const char* kNormale = "USB: MR4A0001";
    static constexpr const char* kUpdate = "USB: MR4A0002";
    static constexpr const char* kErroreMemoria = "USB: MR4A0003";

    DiagnosisBench()
    {
        platform.bridge.SetCallDuration(50e-6);
        bus.Add({"MR4A0001", "ZEM MR4 USB", sim::BridgeState::Normal, "", {}});
        bus.Add({"MR4A0002", "ZEM MR4 USB", sim::BridgeState::UpdateMode, "", {}});
        bus.Add({"MR4A0003", "ZEM MR4 USB", sim::BridgeState::MemoryError, "", {}});
        host.OnClockAdvance([this](double seconds) { platform.network.PassTime(seconds); });
    }

    sim::DefaultInstrument& Strumento() { return bus.Instrument(0); }

    void Password(const std::string& typed)
    {
        host.OnForm("FPassword", [typed](ui::Form& f) {
            f.Get<ui::TextBox>("txtPassword").UserType(typed);
            f.Get<ui::CommandButton>("cmdOK").UserClick();
        });
    }

    // Accepts the caution prompt and shows the window on `chiave`; `play` acts on it after the
    // start-up tick and must leave it closed.
    bool Mostra(const std::string& chiave, std::function<void(FDiagnosi&)> play)
    {
        host.Answer(ui::MsgAnswer::OK);
        host.OnForm("FDiagnosi", [this, play](ui::Form& f) {
            host.AdvanceTimers(30);
            play(static_cast<FDiagnosi&>(f));
        });
        FDiagnosi window(host, platform.Platform(), gate);
        return window.ShowForm(chiave);
    }

    sim::SimulatedPlatform platform;
    sim::SimulatedUsbBus bus{platform.bridge, platform.clock};
    ui::ScriptedHost host;
    MemorySettingsStore settings;
    PasswordGate gate{host, settings};
};

} // namespace zem::test
