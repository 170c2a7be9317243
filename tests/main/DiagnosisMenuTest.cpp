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
    struct Caso {
        int riga;
        std::vector<std::string> messaggi;
        std::vector<std::string> finestre;
    };
    const Caso casi[] = {
        {0, {"Caution: forcing outputs could be dangerous."}, {"Diagnosis", "Diagnosis and calibration"}},
        {1, {"Communication error"}, {"Diagnosis"}},
        {-1, {}, {"Diagnosis"}},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.riga);
        MainWindowSession s;
        s.platform.bridge.SetCallDuration(50e-6);
        sim::SimulatedUsbBus bus(s.platform.bridge, s.platform.clock);
        bus.Add({"MR4A0001", "ZEM MR4 USB", sim::BridgeState::Normal, "", {}});
        bus.Add({"MR4A0002", "ZEM MR4 USB", sim::BridgeState::Silent, "", {}});
        s.host.OnClockAdvance([&s](double seconds) { s.platform.network.PassTime(seconds); });
        s.host.OnForm("FSceltaStrumento", [&s, &c](ui::Form& f) {
            auto& w = static_cast<FSceltaStrumento&>(f);
            s.host.AdvanceTimers(4000);
            if (c.riga < 0) return w.cmdCancel.UserClick(), void();
            w.ListView1.UserClickItem(c.riga);
            w.cmdOK.UserClick();
        });
        if (c.riga == 0) {
            s.host.Answer(ui::MsgAnswer::OK);
            s.host.OnForm("FDiagnosi", [&s, &bus](ui::Form& f) {
                s.host.AdvanceTimers(30);
                EXPECT_TRUE(static_cast<FDiagnosi&>(f).Avviata());
                EXPECT_TRUE(bus.Instrument(0).Diagnostics().ModoDiagnostico());
                f.RequestClose();
            });
        }
        EXPECT_TRUE(s.window->mnuDiagnosi.UserClick());
        EXPECT_EQ(s.host.MessageTexts(), c.messaggi);
        std::vector<std::string> finestre;
        for (const auto& shown : s.host.FormsShown()) finestre.push_back(shown.caption);
        EXPECT_EQ(finestre, c.finestre);
        EXPECT_FALSE(bus.Instrument(0).Diagnostics().ModoDiagnostico());
        EXPECT_EQ(s.host.PendingAnswers(), 0u);
    }
}

} // namespace
} // namespace zem::test
