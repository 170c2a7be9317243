#include "main/StartModes.h"
#include "tests/main/MainWindowSession.h"

#include <gtest/gtest.h>

#include <vector>

namespace zem::test {
namespace {

TEST(StartModes, AdvancedOnlyAtTheStartConfigurationAnywhereInAnyCase)
{
    struct Case {
        const char* commandLine;
        bool advanced;
        bool configuration;
    };
    const Case cases[] = {
        {"", false, false},       {"  /Adv", true, true},  {"x /ADV", false, false}, {"x /cfg", false, true},
        {"--adv", true, true},    {"file.zemp --Cfg", false, true}, {"x --adv", false, false}, {"/AD", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.commandLine);
        const StartModes modes = StartModes::FromCommandLine(c.commandLine);
        EXPECT_EQ(std::pair(modes.advanced, modes.configuration), std::pair(c.advanced, c.configuration));
    }
}

TEST(MainWindowStart, ShowsTheMenusOfTheModeTheCommandLineAsksFor)
{
    const std::vector<std::string> alwaysHidden = {"mnuReadSetup", "mnuSetupInput", "mnuSetupOutput",
                                                   "mnuSetupCounter", "mnuSetupComm", "mnuTestSeriale"};
    const std::vector<std::string> configurationOnly = {"mnuUpdate", "sep3"};
    const std::vector<std::string> advancedOnly = {"mnuInizializzaUSB", "mnuTestMemoria", "mnuExportMemory",
                                                   "mnuListSN"};
    const std::vector<std::string> alwaysShown = {"mnuNuovo", "mnuApri", "mnuSalva", "mnuSaveAs", "mnuFormat",
                                                  "mnuChiudi", "mnuDiagnosi", "mnuEthSetup", "sep2",
                                                  "mnuSetPassword", "mnuUscita", "mnuSetupMachine"};
    struct Case {
        const char* commandLine;
        bool configuration;
        bool advanced;
    };
    for (const Case c : {Case{"", false, false}, Case{"x /CFG", true, false}, Case{"/adv", true, true},
                         Case{"--cfg", true, false}, Case{"x /ADV", false, false}}) {
        SCOPED_TRACE(c.commandLine);
        MainWindowSession s({c.commandLine});
        auto visible = [&](const std::string& name) { return s.window->Get<ui::Menu>(name).Visible(); };
        for (const auto& name : alwaysHidden) EXPECT_FALSE(visible(name)) << name;
        for (const auto& name : alwaysShown) EXPECT_TRUE(visible(name)) << name;
        for (const auto& name : configurationOnly) EXPECT_EQ(visible(name), c.configuration) << name;
        for (const auto& name : advancedOnly) EXPECT_EQ(visible(name), c.advanced) << name;
    }
}

TEST(MainWindowStart, ShowsTheTitleAndTheVersionWithNoProfileOpen)
{
    struct Case {
        int major;
        int minor;
        const char* label;
    };
    for (const Case c : {Case{2, 5, "ZEM AUTOMATION Setup version 2.05"}, Case{3, 42, "ZEM AUTOMATION Setup version 3.42"}}) {
        MainWindowSession s({"", true, c.major, c.minor});
        EXPECT_EQ(s.window->lblVersione.Caption(), c.label);
        EXPECT_EQ(s.window->Caption(), "ZEM Setup");
    }
    MainWindowSession s;
    EXPECT_FALSE(s.window->ProgressBar1.Visible());
    EXPECT_FALSE(s.window->Label1.Visible());
    EXPECT_TRUE(s.window->Profilo().Vuoto);
    EXPECT_TRUE(s.host.Messages().empty());
}

// Sending, diagnosis, backup, memory test, the EEPROM items and network setup
// are shown and greyed until their windows exist; clicking them does nothing.
TEST(MainWindowStart, ItemsOfWorkflowsStillToComeAreShownButCannotBeChosen)
{
    MainWindowSession s({"/ADV"});
    s.Open(s.Example());
    for (const char* name : {"mnuFormat", "mnuDiagnosi", "mnuExportMemory", "mnuTestMemoria", "mnuEthSetup",
                             "mnuListSN", "mnuInizializzaUSB", "mnuUpdate"}) {
        SCOPED_TRACE(name);
        auto& item = s.window->Get<ui::Menu>(name);
        EXPECT_TRUE(item.Visible());
        EXPECT_FALSE(item.Enabled());
        EXPECT_FALSE(item.UserClick());
    }
    EXPECT_TRUE(s.window->mnuConfig.Enabled());
    EXPECT_TRUE(s.host.Messages().empty());
    EXPECT_EQ(s.host.PendingAnswers(), 0u);
}

} // namespace
} // namespace zem::test
