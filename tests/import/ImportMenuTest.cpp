// "Import profile from instrument...": a configured instrument becomes a new profile without a
// file; a memory without a configuration, or holding a value no profile can, is refused.
#include "tests/main/MainWindowSession.h"

#include "discovery/FSceltaStrumento.h"
#include "sim/SimulatedUsbBus.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace zem::test {
namespace {

TEST(ImportMenu, OpensTheInstrumentsProfileOrRefusesAMemoryWithoutOne)
{
    const std::string cases[] = {"The instrument's configuration was read into a new profile.\r\n",
                                 "The instrument memory is empty.", "The instrument memory is empty.",
                                 "Instrument type non supported.", "Measure 1 - Go output at address 0x%04X holds 9, outside 0..8",
                                 "Measure 1 - Start input at address 0x%04X holds 12, outside 0..8"};
    for (int row = 0; row < 6; ++row) {
        MainWindowSession s;
        sim::SimulatedUsbBus bus{s.platform.bridge, s.platform.clock};
        bus.Add({"MR4A0001", "ZEM MR4 USB", sim::BridgeState::Normal, "PRESS 2", {"FORCE", "STROKE"}});
        bus.Add({"MR4A0002", "ZEM MR4 USB", sim::BridgeState::UpdateMode, "", {}});
        bus.Add({"MR4A0003", "ZEM MR4 USB", sim::BridgeState::MemoryError, "", {}});
        std::ranges::fill(bus.Instrument(bus.Add({"MR4A0004", "ZEM MR4 USB", sim::BridgeState::Normal, "", {}})).Memory().Configurazione(), 0);
        auto& uscita = bus.Instrument(bus.Add({"MR4A0005", "ZEM MR4 USB", sim::BridgeState::Normal, "OUT", {"F"}})).Memory().Configurazione();
        const unsigned record = uscita[0x16] | uscita[0x17] << 8;
        uscita[record + 19] = 9;  // measure 1's go output, then its start input
        bus.Instrument(bus.Add({"MR4A0006", "ZEM MR4 USB", sim::BridgeState::Normal, "IN", {"F"}})).Memory().Configurazione()[record + 10] = 12;
        char atteso[160];
        std::snprintf(atteso, sizeof atteso, cases[row].c_str(), record + (row == 4 ? 19 : 10));
        s.Open(s.Example());
        s.host.OnClockAdvance([&s](double seconds) { s.platform.network.PassTime(seconds); });
        s.host.OnForm("FSceltaStrumento", [&s, row](ui::Form& f) {
            s.host.AdvanceTimers(4000);
            static_cast<FSceltaStrumento&>(f).ListView1.UserClickItem(row);
            static_cast<FSceltaStrumento&>(f).cmdOK.UserClick();
        });
        ASSERT_TRUE(s.window->Get<ui::Menu>("mnuImport").UserClick());
        EXPECT_EQ(s.host.MessageTexts(), std::vector<std::string>{s.host.MessageTexts().at(0)});
        EXPECT_EQ(s.host.MessageTexts()[0].substr(0, std::string(atteso).size()), atteso);
        for (std::size_t i = 0; i < 6; ++i) EXPECT_FALSE(s.platform.bridge.IsOpen(i)) << row << " left " << i << " open";
        // Neither the bar nor the busy indication stays behind.
        EXPECT_FALSE(s.window->ProgressBar1.Visible() || s.window->lblTrasferimento.Visible() || s.window->Label1.Visible() || s.host.Busy());
        EXPECT_EQ(std::tuple(s.window->Profilo().Nome, s.window->Profilo().NomeMisura(2), s.window->FileCorrente(), s.window->Profilo().Modificato),
                  row == 0 ? std::tuple("PRESS 2", "STROKE", "", true) : std::tuple("Press line 3", "Cylinder test", s.Example(), false));
    }
}

} // namespace
} // namespace zem::test
