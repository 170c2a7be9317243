#include "tests/main/MainWindowSession.h"

#include "discovery/FSceltaStrumento.h"
#include "main/LetturaProfilo.h"
#include "sim/SimulatedUsbBus.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zem::test {
namespace {

using Esito = LetturaProfilo::Esito;

// The bench of the read-back: a configured instrument, one in update mode, one with a memory
// error, one of another type, a silent one and a blank one, in this order in the selection.
void Bench(sim::SimulatedPlatform& platform, sim::SimulatedUsbBus& bus)
{
    platform.bridge.SetCallDuration(50e-6);  // so that the waits on the silent bridge end
    bus.Add({"MR4A0001", "ZEM MR4 USB", sim::BridgeState::Normal, "PRESS 2", {"FORCE"}});
    bus.Add({"MR4A0002", "ZEM MR4 USB", sim::BridgeState::UpdateMode, "", {}});
    bus.Add({"MR4A0003", "ZEM MR4 USB", sim::BridgeState::MemoryError, "", {}});
    bus.Instrument(bus.Add({"MR4A0004", "ZEM MR4 USB", sim::BridgeState::Normal, "", {}})).Memory().Opzioni().protocollo = 9;
    bus.Add({"MR4A0005", "ZEM MR4 USB", sim::BridgeState::Silent, "", {}});
    auto& blank = bus.Instrument(bus.Add({"MR4A0006", "ZEM MR4 USB", sim::BridgeState::Normal, "", {}}));
    std::ranges::fill(blank.Memory().Configurazione(), 0);
}

TEST(ReadBack, TellsWhatTheChosenUsbInstrumentHoldsAndAlwaysDisconnects)
{
    struct Case {
        int row;
        std::string message;  // "" none
        ui::MsgIcon icon;
    };
    const Case cases[] = {
        {0, "", ui::MsgIcon::None},
        {1, "The instrument memory is empty.", ui::MsgIcon::Information},
        {2, "The instrument memory is empty.", ui::MsgIcon::Information},
        {3, "Instrument type non supported.", ui::MsgIcon::Critical},
        {4, "Communication error", ui::MsgIcon::Critical},
        {5, "Instrument type non supported.", ui::MsgIcon::Critical},
    };
    for (const auto& c : cases) {
        MainWindowSession s;
        sim::SimulatedUsbBus bus{s.platform.bridge};
        Bench(s.platform, bus);
        s.Open(s.Example());
        const std::string nome = s.window->Profilo().Nome;
        s.host.OnClockAdvance([&s](double seconds) { s.platform.network.PassTime(seconds); });
        s.host.OnForm("FSceltaStrumento", [&s, &c](ui::Form& f) {
            auto& w = static_cast<FSceltaStrumento&>(f);
            s.host.AdvanceTimers(4000);
            w.ListView1.UserClickItem(c.row);
            w.cmdOK.UserClick();
        });
        // The menu item is hidden; what it does whenever it is shown.
        s.window->mnuReadSetup.SetVisible(true);
        ASSERT_TRUE(s.window->mnuReadSetup.UserClick());

        EXPECT_EQ(s.host.FormsShown().at(0).caption, "Read setup");
        const auto& shown = s.host.Messages();
        if (c.message.empty()) {
            EXPECT_TRUE(shown.empty()) << c.row << ": " << shown.front().text;
        } else {
            ASSERT_EQ(shown.size(), 1u) << c.row;
            EXPECT_EQ(shown[0].text, c.message);
            EXPECT_EQ(shown[0].icon, c.icon);
        }
        for (std::size_t i = 0; i < 6; ++i) EXPECT_FALSE(s.platform.bridge.IsOpen(i)) << c.row << " left " << i << " open";
        EXPECT_EQ(s.window->Profilo().Nome, nome);
        EXPECT_FALSE(s.window->Profilo().Modificato);
    }
}

TEST(ReadBack, AChangedProfileIsAskedAboutFirstAndCancelEndsIt)
{
    MainWindowSession s;
    s.Open(s.Example());
    s.Change("CHANGED");
    s.host.Answer(ui::MsgAnswer::Cancel);
    s.window->mnuReadSetup.SetVisible(true);
    ASSERT_TRUE(s.window->mnuReadSetup.UserClick());
    EXPECT_EQ(s.host.MessageTexts(), std::vector<std::string>{"Profile has been changed.\r\nSave changes?"});
    EXPECT_TRUE(s.host.FormsShown().empty());
}

TEST(ReadBack, OnlyAKeyBeginningWithUsbColonOpensAnInstrument)
{
    struct Case {
        std::string key;
        Esito esito;
    };
    const Case cases[] = {
        {"MAC: 00-20-4A-00-00-01", Esito::Nessuno},
        {"IP:127.0.0.1:7001", Esito::Nessuno},
        {"USB:", Esito::Nessuno},
        {"usb: MR4A0001", Esito::Nessuno},
        {"Usb: MR4A0001", Esito::Nessuno},
        {"USB:MR4A0001", Esito::Configurata},
        {"USB:    MR4A0002", Esito::MemoriaVuota},
    };
    sim::SimulatedPlatform platform;
    sim::SimulatedUsbBus bus{platform.bridge};
    Bench(platform, bus);
    ui::ScriptedHost host;
    for (const auto& c : cases) {
        const auto opened = platform.bridge.Calls(sim::BridgeCall::OpenEx);
        EXPECT_EQ(LetturaProfilo(host, platform.Platform()).Run(c.key), c.esito) << c.key;
        EXPECT_EQ(platform.bridge.Calls(sim::BridgeCall::OpenEx) - opened, c.esito == Esito::Nessuno ? 0u : 1u) << c.key;
    }
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{"The instrument memory is empty."});
    EXPECT_TRUE(host.FormsShown().empty());
}

} // namespace
} // namespace zem::test
