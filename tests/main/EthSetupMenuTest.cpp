#include "tests/main/MainWindowSession.h"

#include "discovery/FSceltaStrumento.h"
#include "discovery/FSetupEth.h"
#include "sim/ModulesEndpoint.h"
#include "sim/StandardModules.h"

#include <gtest/gtest.h>

namespace zem::test {
namespace {

// "Set IP address": the module chosen among those on the network, the password, then the setup
// window on that module's MAC text.
TEST(MainWindowEthSetup, ChoosesAModuleAsksThePasswordAndSetsItUp)
{
    for (const bool choose : {true, false}) {
        MainWindowSession s;
        sim::SimulatedModules modules(s.platform.clock);
        sim::AddStandardModules(modules, 7000);
        sim::ModulesEndpoint endpoint(s.platform.network, modules, s.platform.broadcast.host, s.platform.broadcast.port);
        s.host.OnClockAdvance([&s](double seconds) { s.platform.network.PassTime(seconds); });
        s.host.OnForm("FSceltaStrumento", [&s, choose](ui::Form& f) {
            auto& w = static_cast<FSceltaStrumento&>(f);
            s.host.AdvanceTimers(4000);
            w.ListView1.UserClickItem(1);
            (choose ? w.cmdOK : w.cmdCancel).UserClick();
        });
        if (choose) {
            s.TypesPassword("6150");
            s.host.OnForm("FSetupEth", [&s](ui::Form& f) {
                s.host.AdvanceTimers(1000);
                EXPECT_EQ(f.Get<ui::TextBox>("txtIP").Text(), "127.0.0.12");
                f.Get<ui::CommandButton>("cmdAnnulla").UserClick();
            });
        }
        EXPECT_TRUE(s.window->mnuEthSetup.UserClick());
        ASSERT_FALSE(s.host.FormsShown().empty());
        EXPECT_EQ(s.host.FormsShown()[0].caption, "Ethernet setup");
        EXPECT_EQ(s.host.FormsShown().size(), choose ? 3u : 1u);
        EXPECT_EQ(modules.Received().back(), choose ? "W" : "O");
        EXPECT_EQ(s.host.PendingAnswers(), 0u);
    }
}

} // namespace
} // namespace zem::test
