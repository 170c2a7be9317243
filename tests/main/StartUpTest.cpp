#include "tests/main/MainWindowSession.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace zem::test {
namespace {

TEST(MainWindowStart, ShowsTheMenusOfTheModeTheCommandLineAsksFor)
{
    // One item of each group: always hidden, configuration only, advanced only, always shown. Advanced
    // only at the start of the line, configuration anywhere, in any case.
    struct Case {
        const char* commandLine;
        bool configuration;
        bool advanced;
    };
    for (const Case c : {Case{"", false, false}, Case{"x /CFG", true, false}, Case{"/adv", true, true},
                         Case{"--cfg", true, false}, Case{"x /ADV", false, false}, Case{"  --Adv", true, true},
                         Case{"/AD", false, false}}) {
        SCOPED_TRACE(c.commandLine);
        MainWindowSession s({c.commandLine});
        auto visible = [&](const std::string& name) { return s.window->Get<ui::Menu>(name).Visible(); };
        EXPECT_EQ((std::array{visible("mnuReadSetup"), visible("mnuUpdate"), visible("mnuListSN"), visible("mnuEthSetup")}),
                  (std::array{false, c.configuration, c.advanced, true}));
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

    // A double-clicked profile file comes on the command line and opens at start.
    MainWindowSession opened({"", true, 1, 0, true});
    EXPECT_EQ(opened.window->Caption(), "ZEM Setup - PressLine3");
    EXPECT_TRUE(opened.window->mnuSalva.Enabled());
}

} // namespace
} // namespace zem::test
