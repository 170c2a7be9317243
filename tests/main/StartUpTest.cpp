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
        {"", false, false},
        {"/ADV", true, true},
        {"/adv", true, true},
        {"  /Adv", true, true},
        {"x /ADV", false, false},
        {"/CFG", false, true},
        {"x /cfg", false, true},
        {"/ADV /CFG", true, true},
        {"--adv", true, true},
        {"--ADV --cfg", true, true},
        {"--cfg", false, true},
        {"file.zemp --Cfg", false, true},
        {"x --adv", false, false},
        {"/AD", false, false},
        {"-adv", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.commandLine);
        const StartModes modes = StartModes::FromCommandLine(c.commandLine);
        EXPECT_EQ(modes.advanced, c.advanced);
        EXPECT_EQ(modes.configuration, c.configuration);
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

TEST(MainWindowStart, EveryMenuItemHasItsCaptionInItsMenu)
{
    struct Item {
        const char* name;
        const char* caption;
        const char* parent;
    };
    const Item items[] = {
        {"mnuFile", "&File", nullptr},
        {"mnuNuovo", "&New profile", "mnuFile"},
        {"mnuApri", "&Open profile...", "mnuFile"},
        {"mnuReadSetup", "&Read profile from instrument...", "mnuFile"},
        {"mnuSalva", "&Save profile", "mnuFile"},
        {"mnuSaveAs", "Save profile &as...", "mnuFile"},
        {"mnuFormat", "&Send profile to instrument...", "mnuFile"},
        {"mnuChiudi", "&Close profile", "mnuFile"},
        {"sep4", "-", "mnuFile"},
        {"mnuDiagnosi", "&Diagnosis and calibration...", "mnuFile"},
        {"mnuTestSeriale", "&Test seriale (beta)...", "mnuFile"},
        {"mnuExportMemory", "&Backup memory...", "mnuFile"},
        {"mnuTestMemoria", "&Memory test...", "mnuFile"},
        {"sep2", "-", "mnuFile"},
        {"mnuEthSetup", "Set &IP address of the instrument...", "mnuFile"},
        {"sep3", "-", "mnuFile"},
        {"mnuListSN", "&List EEprom serial number...", "mnuFile"},
        {"mnuInizializzaUSB", "&Initialize USB EEprom...", "mnuFile"},
        {"mnuUpdate", "&Update firmware...", "mnuFile"},
        {"sep1", "-", "mnuFile"},
        {"mnuSetPassword", "&Change password...", "mnuFile"},
        {"sep5", "-", "mnuFile"},
        {"mnuUscita", "E&xit", "mnuFile"},
        {"mnuConfig", "&Profile", nullptr},
        {"mnuSetupMachine", "&Main settings...", "mnuConfig"},
        {"mnuSetupInput", "Setup &inputs...", "mnuConfig"},
        {"mnuSetupOutput", "Setup &outputs...", "mnuConfig"},
        {"mnuSetupCounter", "Setup &counters...", "mnuConfig"},
        {"mnuSetupComm", "Setup communication &port...", "mnuConfig"},
    };
    MainWindowSession s;
    // In this order, and nothing else on the menu bar.
    std::vector<const ui::Menu*> order;
    for (const ui::Control* control : s.window->Controls())
        if (control->Kind() == ui::ControlKind::Menu) order.push_back(static_cast<const ui::Menu*>(control));
    ASSERT_EQ(order.size(), std::size(items));
    for (std::size_t i = 0; i < order.size(); ++i) {
        SCOPED_TRACE(items[i].name);
        EXPECT_EQ(order[i]->Name(), items[i].name);
        EXPECT_EQ(order[i]->Caption(), items[i].caption);
        EXPECT_EQ(order[i]->Parent() == nullptr ? std::string("(bar)") : order[i]->Parent()->Name(),
                  items[i].parent == nullptr ? "(bar)" : items[i].parent);
    }
}

TEST(MainWindowStart, ShowsTheTitleAndTheVersionWithNoProfileOpen)
{
    struct Case {
        int major;
        int minor;
        const char* label;
    };
    for (const Case c : {Case{1, 0, "ZEM AUTOMATION Setup version 1.00"},
                         Case{2, 5, "ZEM AUTOMATION Setup version 2.05"},
                         Case{3, 42, "ZEM AUTOMATION Setup version 3.42"},
                         Case{4, 123, "ZEM AUTOMATION Setup version 4.123"}}) {
        MainWindowSession s({"", true, c.major, c.minor});
        EXPECT_EQ(s.window->lblVersione.Caption(), c.label);
        EXPECT_EQ(s.window->Caption(), "ZEM Setup");
    }
    MainWindowSession s;
    EXPECT_FALSE(s.window->lblTrasferimento.Visible());
    EXPECT_FALSE(s.window->ProgressBar1.Visible());
    EXPECT_FALSE(s.window->Label1.Visible());
    EXPECT_FALSE(s.window->Image1.Visible());
    EXPECT_EQ(s.window->lblTrasferimento.Caption(), "Trasferimento:");
    EXPECT_EQ(s.window->Label1.Caption(), "Wait...");
    EXPECT_TRUE(s.window->Profilo().Vuoto);
    EXPECT_EQ(s.window->FileCorrente(), "");
    EXPECT_TRUE(s.host.Messages().empty());
    EXPECT_TRUE(s.host.FormsShown().empty());
}

// Diagnosis, backup, memory test, the EEPROM items and network setup
// are shown and greyed until their windows exist; clicking them does nothing.
TEST(MainWindowStart, ItemsOfWorkflowsStillToComeAreShownButCannotBeChosen)
{
    MainWindowSession s({"/ADV"});
    s.Open(s.Example());
    for (const char* name : {"mnuDiagnosi", "mnuExportMemory", "mnuTestMemoria",
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
