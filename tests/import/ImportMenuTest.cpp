// "Import profile from instrument..." in the main window: a configured instrument becomes a new
// profile without a file; a memory that holds no configuration, or a value no profile can hold,
// is refused and the profile open before stays as it was.
#include "tests/main/MainWindowSession.h"

#include "discovery/FSceltaStrumento.h"
#include "sim/SimulatedUsbBus.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

namespace zem::test {
namespace {

TEST(ImportMenu, OpensTheInstrumentsProfileOrRefusesAMemoryWithoutOne)
{
    const std::string empty = "The instrument memory is empty.";
    struct Case { int row; std::string message; };
    const Case cases[] = {{0, "These fields could not be read back and keep the template's values:"},
                          {1, empty}, {2, empty}, {3, "Instrument type non supported."},
                          {4, "nOutput(1, 1) at address 0x%04X holds 9, outside 0..8"},
                          {5, "nInput(1, 1) at address 0x%04X holds 12, outside 0..8"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        MainWindowSession s;
        sim::SimulatedUsbBus bus{s.platform.bridge, s.platform.clock};
        s.platform.bridge.SetCallDuration(50e-6);
        bus.Add({"MR4A0001", "ZEM MR4 USB", sim::BridgeState::Normal, "PRESS 2", {"FORCE", "STROKE"}});
        bus.Add({"MR4A0002", "ZEM MR4 USB", sim::BridgeState::UpdateMode, "", {}});
        bus.Add({"MR4A0003", "ZEM MR4 USB", sim::BridgeState::MemoryError, "", {}});
        std::ranges::fill(bus.Instrument(bus.Add({"MR4A0004", "ZEM MR4 USB", sim::BridgeState::Normal, "", {}})).Memory().Configurazione(), 0);
        // Measure 1's go output, then its start input, out of range.
        auto& uscita = bus.Instrument(bus.Add({"MR4A0005", "ZEM MR4 USB", sim::BridgeState::Normal, "BAD OUTPUT", {"F"}})).Memory().Configurazione();
        const unsigned record = uscita[0x16] | uscita[0x17] << 8;
        uscita[record + 19] = 9;
        bus.Instrument(bus.Add({"MR4A0006", "ZEM MR4 USB", sim::BridgeState::Normal, "BAD INPUT", {"F"}})).Memory().Configurazione()[record + 10] = 12;
        char atteso[96];
        std::snprintf(atteso, sizeof atteso, c.message.c_str(), record + (c.row == 4 ? 19 : 10));
        s.Open(s.Example());
        s.host.OnClockAdvance([&s](double seconds) { s.platform.network.PassTime(seconds); });
        s.host.OnForm("FSceltaStrumento", [&s, &c](ui::Form& f) {
            s.host.AdvanceTimers(4000);
            static_cast<FSceltaStrumento&>(f).ListView1.UserClickItem(c.row);
            static_cast<FSceltaStrumento&>(f).cmdOK.UserClick();
        });
        ASSERT_TRUE(s.window->Get<ui::Menu>("mnuImport").UserClick());

        ASSERT_EQ(s.host.Messages().size(), 1u);
        EXPECT_EQ(s.host.Messages().back().text.substr(0, std::strlen(atteso)), atteso);
        for (std::size_t i = 0; i < 6; ++i) EXPECT_FALSE(s.platform.bridge.IsOpen(i)) << "left " << i << " open";
        if (c.row != 0) {
            EXPECT_EQ(s.window->Profilo().Nome, "Press line 3");
            EXPECT_EQ(s.window->FileCorrente(), s.Example());
            continue;
        }
        EXPECT_EQ(s.window->Profilo().Nome, "PRESS 2");
        EXPECT_EQ(s.window->Profilo().NomeMisura(2), "STROKE");
        EXPECT_TRUE(s.window->FileCorrente().empty());
        EXPECT_TRUE(s.window->Profilo().Modificato);
        EXPECT_NE(s.host.Messages().back().text.find("\r\nDurataCurve(1)"), std::string::npos);
    }
}

} // namespace
} // namespace zem::test
