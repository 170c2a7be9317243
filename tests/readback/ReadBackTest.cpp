#include "tests/main/MainWindowSession.h"

#include "discovery/FSceltaStrumento.h"
#include "main/LetturaProfilo.h"
#include "sim/SimulatedUsbBus.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zem::test {
namespace {

using Esito = LetturaProfilo::Esito;
const std::string kSave = "Profile has been changed.\r\nSave changes?";

// In the selection's order: a configured instrument, one in update mode, one with a memory error,
// one of another type, a silent one and a blank one.
void Bench(sim::SimulatedPlatform& platform, sim::SimulatedUsbBus& bus)
{
    platform.bridge.SetCallDuration(50e-6);  // so that the waits on the silent bridge end
    bus.Add({"MR4A0001", "ZEM MR4 USB", sim::BridgeState::Normal, "PRESS 2", {"FORCE"}});
    bus.Add({"MR4A0002", "ZEM MR4 USB", sim::BridgeState::UpdateMode, "", {}});
    bus.Add({"MR4A0003", "ZEM MR4 USB", sim::BridgeState::MemoryError, "", {}});
    bus.Instrument(bus.Add({"MR4A0004", "ZEM MR4 USB", sim::BridgeState::Normal, "", {}})).Memory().Opzioni().protocollo = 9;
    bus.Add({"MR4A0005", "ZEM MR4 USB", sim::BridgeState::Silent, "", {}});
    std::ranges::fill(bus.Instrument(bus.Add({"MR4A0006", "ZEM MR4 USB", sim::BridgeState::Normal, "", {}})).Memory().Configurazione(), 0);
}

// The menu item is hidden; this is what it does whenever it is shown. A changed profile is asked
// about first (No here, Cancel ends the command); the profile is never touched.
TEST(ReadBack, TellsWhatTheChosenUsbInstrumentHoldsAndAlwaysDisconnects)
{
    struct Case { int row; std::string message; ui::MsgIcon icon; };  // row -1: Cancel to the save question
    const std::string empty = "The instrument memory is empty.", refused = "Instrument type non supported.";
    const Case cases[] = {{-1, kSave, {}}, {0, kSave, {}}, {1, empty, ui::MsgIcon::Information},
                          {2, empty, ui::MsgIcon::Information}, {3, refused, ui::MsgIcon::Critical},
                          {4, "Communication error", ui::MsgIcon::Critical}, {5, refused, ui::MsgIcon::Critical}};
    for (const auto& c : cases) {
        MainWindowSession s;
        sim::SimulatedUsbBus bus{s.platform.bridge, s.platform.clock};
        Bench(s.platform, bus);
        s.Open(s.Example());
        s.Change("CHANGED");
        s.host.Answer(c.row < 0 ? ui::MsgAnswer::Cancel : ui::MsgAnswer::No);
        s.host.OnClockAdvance([&s](double seconds) { s.platform.network.PassTime(seconds); });
        s.host.OnForm("FSceltaStrumento", [&s, &c](ui::Form& f) {
            s.host.AdvanceTimers(4000);
            static_cast<FSceltaStrumento&>(f).ListView1.UserClickItem(c.row);
            static_cast<FSceltaStrumento&>(f).cmdOK.UserClick();
        });
        s.window->mnuReadSetup.SetVisible(true);
        ASSERT_TRUE(s.window->mnuReadSetup.UserClick());

        EXPECT_EQ(s.host.FormsShown().size(), c.row < 0 ? 0u : 1u);
        EXPECT_EQ(s.host.Messages().size(), c.message == kSave ? 1u : 2u) << c.row;
        EXPECT_EQ(s.host.Messages().back().text, c.message) << c.row;
        EXPECT_EQ(s.host.Messages().back().icon, c.message == kSave ? ui::MsgIcon::Question : c.icon) << c.row;
        for (std::size_t i = 0; i < 6; ++i) EXPECT_FALSE(s.platform.bridge.IsOpen(i)) << c.row << " left " << i << " open";
        EXPECT_EQ(s.window->Profilo().Nome, "CHANGED");
    }
}

TEST(ReadBack, OnlyAKeyBeginningWithUsbColonOpensAnInstrument)
{
    const std::pair<std::string, Esito> cases[] = {
        {"MAC: 00-20-4A-00-00-01", Esito::Nessuno}, {"IP:127.0.0.1:7001", Esito::Nessuno}, {"USB:", Esito::Nessuno},
        {"usb: MR4A0001", Esito::Nessuno}, {"USB:MR4A0001", Esito::Configurata}, {"USB:    MR4A0002", Esito::MemoriaVuota}};
    sim::SimulatedPlatform platform;
    sim::SimulatedUsbBus bus{platform.bridge, platform.clock};
    Bench(platform, bus);
    ui::ScriptedHost host;
    for (const auto& [key, esito] : cases) {
        const auto opened = platform.bridge.Calls(sim::BridgeCall::OpenEx);
        EXPECT_EQ(LetturaProfilo(host, platform.Platform()).Run(key), esito) << key;
        EXPECT_EQ(platform.bridge.Calls(sim::BridgeCall::OpenEx) - opened, esito == Esito::Nessuno ? 0u : 1u) << key;
    }
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{"The instrument memory is empty."});
}

} // namespace
} // namespace zem::test
