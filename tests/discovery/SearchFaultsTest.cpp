#include "tests/discovery/SelectionFixture.h"

namespace zem::test {
namespace {

using sim::ModuleCommand;
const std::string kMac1 = "W00-20-4A-00-00-01";
const std::string kMac2 = "W00-20-4A-00-00-02";
const std::vector<std::string> kSecondModule = {kMac2, "L", "GIP", "O"};

// The first module misbehaves; the search goes on to the second and ends.
TEST(Selection, ARejectingOrSilentModuleIsSkipped)
{
    struct Case {
        ModuleCommand command;
        char code;  // 0: silent
        std::vector<ui::MsgAnswer> answers;
        std::vector<std::string> messages;
        SelectionSite::Row first;  // the first module's row; "" for not listed
        std::vector<std::string> sent;  // to the first module; the second's follow
    };
    const SelectionSite::Row listed{"[ZEMA-1]", "MAC: 00-20-4A-00-00-01", "7001"};
    const SelectionSite::Row addressOnly{"[ZEMA-1]", "IP:127.0.0.2:7001", ""};
    const std::string timeout = "Get IP-address timeout.";
    const Case cases[] = {
        {ModuleCommand::Login, 'N', {}, {"Login rejected.\r\nReply code: N"}, listed, {"X", kMac1, "L"}},
        {ModuleCommand::GetIP, 'E', {}, {"Get IP-address rejected.\r\nReply code: E"}, listed, {"X", kMac1, "L", "GIP"}},
        {ModuleCommand::Logout, 'R', {}, {"Logout rejected.\r\nReply code: R"}, addressOnly, {"X", kMac1, "L", "GIP", "O"}},
        {ModuleCommand::Discover, 0, {}, {}, {}, {"X"}},
        // Retry asks the module again; Cancel gives it up.
        {ModuleCommand::Login, 0, {ui::MsgAnswer::Retry, ui::MsgAnswer::Cancel}, {timeout, timeout}, listed,
         {"X", kMac1, "L", "L"}},
        {ModuleCommand::GetIP, 0, {}, {}, listed, {"X", kMac1, "L", "GIP"}},
        {ModuleCommand::Logout, 0, {}, {}, addressOnly, {"X", kMac1, "L", "GIP", "O"}},
    };
    for (const auto& c : cases) {
        SelectionSite f;
        if (c.code == 0) {
            f.modules[0].Silence(c.command);
        } else {
            f.modules[0].Reject(c.command, c.code);
        }
        f.Show(false, false, [&f, &c](FSceltaStrumento& w) {
            for (const auto answer : c.answers) f.host.Answer(answer);
            f.host.AdvanceTimers(8000);
            EXPECT_EQ(w.Passo(), 0);
            w.cmdCancel.UserClick();
        });
        const std::string what = std::string(1, c.code) + " " + std::to_string(static_cast<int>(c.command));
        EXPECT_EQ(f.host.MessageTexts(), c.messages) << what;
        const auto rows = f.Rows();
        ASSERT_EQ(rows.size(), c.first.chiave.empty() ? 4u : 5u) << what;
        if (!c.first.chiave.empty()) { EXPECT_EQ(rows[3], c.first) << what; }
        EXPECT_EQ(rows.back().chiave, "IP:127.0.0.3:7002") << what;
        auto sent = c.sent;
        sent.insert(sent.end(), kSecondModule.begin(), kSecondModule.end());
        EXPECT_EQ(f.modules.Received(), sent) << what;
    }
}

// Closing the window at any step of the search ends it: nothing more is sent, no link stays open.
TEST(Selection, CancelAtEachStepSendsNothingMore)
{
    for (int step = 1; step <= 5; ++step) {
        SelectionSite f;
        for (std::size_t m = 0; m < f.modules.Count(); ++m) f.modules[m].latencySeconds = 0.1;
        std::size_t sent = 0;
        const auto key = f.Show(false, false, [&](FSceltaStrumento& w) {
            while (w.Passo() != step) f.host.AdvanceTimers(10);
            w.ListView1.UserClickItem(0);
            EXPECT_FALSE(w.cmdOK.Enabled());
            w.cmdCancel.UserClick();
            sent = f.Sent();
        });
        f.host.AdvanceTimers(5000);
        EXPECT_FALSE(key) << step;
        EXPECT_EQ(f.Sent(), sent) << step;
        EXPECT_EQ(f.window->Passo(), 0) << step;
        for (std::size_t i = 0; i < 5; ++i) EXPECT_FALSE(f.platform.bridge.IsOpen(i)) << step;
    }
}

// Nothing on the network: after about a second the search is over, with only the bridges listed.
TEST(Selection, WithNoModuleTheSearchEndsAfterASecond)
{
    SelectionSite f;
    f.modules[0].Silence(ModuleCommand::Discover);
    f.modules[1].Silence(ModuleCommand::Discover);
    f.Show(false, false, [&f](FSceltaStrumento& w) {
        f.host.AdvanceTimers(800);
        EXPECT_EQ(w.Passo(), 1);
        f.host.AdvanceTimers(400);
        EXPECT_EQ(w.Passo(), 0);
        EXPECT_FALSE(w.cmdOK.Enabled());
        w.ListView1.UserClickItem(0);
        EXPECT_TRUE(w.cmdOK.Enabled());
        w.cmdOK.UserClick();
    });
    EXPECT_EQ(f.Rows().size(), 3u);
}

} // namespace
} // namespace zem::test
