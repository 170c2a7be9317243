#include "tests/main/MainWindowSession.h"

#include "diagnosis/FDiagnosi.h"
#include "discovery/FSceltaStrumento.h"
#include "sim/SimulatedUsbBus.h"

#include <gtest/gtest.h>

namespace zem::test {
namespace {

// "Diagnosis and calibration...": the instrument chosen in the selection, checked, then the
// diagnosis window on it; an instrument that does not answer never gets there.
TEST(MainWindowDiagnosis, ChoosesAnInstrumentChecksItAndOpensTheDiagnosis)
{
    for (const int riga : {0, 1}) {
        SCOPED_TRACE(riga);
        MainWindowSession s;
        s.platform.bridge.SetCallDuration(50e-6);
        sim::SimulatedUsbBus bus(s.platform.bridge, s.platform.clock);
        bus.Add({"MR4A0001", "ZEM MR4 USB", sim::BridgeState::Normal, "", {}});
        bus.Add({"MR4A0002", "ZEM MR4 USB", sim::BridgeState::Silent, "", {}});
        s.host.OnClockAdvance([&s](double seconds) { s.platform.network.PassTime(seconds); });
        s.host.OnForm("FSceltaStrumento", [&s, riga](ui::Form& f) {
            s.host.AdvanceTimers(4000);
            static_cast<FSceltaStrumento&>(f).ListView1.UserClickItem(riga);
            static_cast<FSceltaStrumento&>(f).cmdOK.UserClick();
        });
        if (riga == 0) {
            s.host.Answer(ui::MsgAnswer::OK);
            s.host.OnForm("FDiagnosi", [&s, &bus](ui::Form& f) {
                s.host.AdvanceTimers(30);
                EXPECT_TRUE(bus.Instrument(0).Diagnostics().ModoDiagnostico());
                f.RequestClose();
            });
        }
        EXPECT_TRUE(s.window->mnuDiagnosi.UserClick());
        EXPECT_EQ(s.host.MessageTexts(), (std::vector<std::string>{riga == 0 ? "Caution: forcing outputs could be dangerous." : "Communication error"}));
        EXPECT_EQ(s.host.FormsShown().back().caption, riga == 0 ? "Diagnosis and calibration" : "Diagnosis");
        EXPECT_FALSE(bus.Instrument(0).Diagnostics().ModoDiagnostico());
        EXPECT_EQ(s.host.PendingAnswers(), 0u);
    }
}

} // namespace
} // namespace zem::test
