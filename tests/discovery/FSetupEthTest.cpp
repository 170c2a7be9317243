#include "tests/discovery/ModuleSite.h"

#include <gtest/gtest.h>

namespace zem::test {
namespace {

using sim::ModuleCommand;
using Wire = std::vector<std::string>;

const std::string kMac = sim::kModuleMac1;
const std::string kSelect = "W" + kMac;
const Wire kReadAddress = {kSelect, "L", "GIP", "O", "W"};
const Wire kWriteAddress = {"A" + kMac + "//127.0.0.50", kSelect, "L", "SONQ.B.F.", "SDNZEMA", "SBR7",
                            "SSI0", "SFC0", "SRC0", "SDS1", "O", "W"};

Wire Concat(Wire a, const Wire& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct FSetupEthTest : ::testing::Test {
    ModuleSite site;
    FSetupEth form{site.host, site.Platform()};

    // Lets the address be read, then asks for 127.0.0.50.
    void AssignNewAddress()
    {
        site.host.AdvanceTimers(100);
        form.txtIP.UserType("127.0.0.50");
        form.cmdOK.UserClick();
    }
};

TEST_F(FSetupEthTest, ReadsTheAddressAssignsTheNewOneWritesTheSettingsAndTheModuleKeepsIt)
{
    site.Run(form, [&] {
        site.host.AdvanceTimers(100);
        EXPECT_EQ(form.txtIP.Text(), "127.0.0.11");
        EXPECT_TRUE(form.txtIP.Enabled());
        EXPECT_TRUE(form.cmdOK.Enabled());
        EXPECT_EQ(form.txtLocalIP.Caption(), "127.0.0.1");
        EXPECT_EQ(site.Wire(), kReadAddress);
        // Waiting for the technician does not time out.
        site.host.AdvanceTimers(5000);
        EXPECT_TRUE(form.Loaded());
        form.txtIP.UserType("127.0.0.50");
        form.cmdOK.UserClick();
        site.host.AdvanceTimers(100);
        EXPECT_FALSE(form.Loaded());
    });
    EXPECT_EQ(site.Wire(), Concat(kReadAddress, kWriteAddress));
    EXPECT_EQ(site.host.MessageTexts(), Wire{"Ethernet setup successfully."});
    EXPECT_EQ(site.host.Messages()[0].icon, ui::MsgIcon::Information);
    EXPECT_EQ(site.Module().Settings().size(), 7U);
    EXPECT_TRUE(site.modules[1].Settings().empty());

    // Opened again, the window reads the module's new address.
    site.Run(form, [&] {
        site.host.AdvanceTimers(100);
        EXPECT_EQ(form.txtIP.Text(), "127.0.0.50");
    });
}

// What the technician sees when the module refuses a command or stops answering, and that
// nothing is sent after the command that failed.
TEST_F(FSetupEthTest, RejectionsAndSilencesEndWithTheirMessages)
{
    struct Case {
        ModuleCommand command;
        bool silent;
        bool afterOK;
        Wire messages;
        std::string last;  // the last datagram sent
    };
    const auto rejected = [](const std::string& line) { return line + "\r\nReply code: R"; };
    const Case cases[] = {
        {ModuleCommand::Select, true, false, {"Timeout step 1"}, kSelect},
        {ModuleCommand::Login, false, false, {rejected("Login rejected."), "Timeout step 2"}, "L"},
        {ModuleCommand::GetIP, false, false, {rejected("Get IP-address rejected."), "Get IP-address timeout."}, "GIP"},
        {ModuleCommand::GetIP, true, false, {"Get IP-address timeout."}, "GIP"},
        {ModuleCommand::Logout, false, false, {rejected("Get status rejected."), "Timeout step 4"}, "O"},
        {ModuleCommand::AssignIP, false, true,
         {rejected("Assign IP-address rejected."), "Assign IP-address timeout."}, kWriteAddress[0]},
        {ModuleCommand::AssignIP, true, true, {"Assign IP-address timeout."}, kWriteAddress[0]},
        {ModuleCommand::Select, false, true, {rejected("Device setup rejected.")}, kSelect},
        {ModuleCommand::Select, true, true, {"127.0.0.50\r\nIP-address is unreachable with your network."}, kSelect},
        {ModuleCommand::Setting, false, true, {rejected("Device setup rejected.")}, "SONQ.B.F."},
        {ModuleCommand::Setting, true, true, {"Timeout step 13"}, "SONQ.B.F."},
        {ModuleCommand::Logout, false, true, {rejected("Logout rejected.")}, "O"},
        {ModuleCommand::Logout, true, true, {"Timeout step 20"}, "O"},
    };
    for (const Case& c : cases) {
        ModuleSite site;
        FSetupEth form(site.host, site.Platform());
        const auto knob = [&] {
            if (c.silent) site.Module().Silence(c.command); else site.Module().Reject(c.command, 'R');
        };
        if (!c.afterOK) knob();
        site.Run(form, [&] {
            if (c.afterOK) {
                site.host.AdvanceTimers(100);
                knob();
                form.txtIP.UserType("127.0.0.50");
                form.cmdOK.UserClick();
            }
            site.host.AdvanceTimers(3000);
            EXPECT_FALSE(form.Loaded());
        });
        const std::string label = site.Wire().empty() ? "" : c.last;
        EXPECT_EQ(site.host.MessageTexts(), c.messages) << label;
        for (const auto& m : site.host.Messages()) EXPECT_EQ(m.icon, ui::MsgIcon::Exclamation) << label;
        ASSERT_FALSE(site.Wire().empty());
        EXPECT_EQ(site.Wire().back(), c.last);
    }
}

TEST_F(FSetupEthTest, ALoginRejectedAfterTheAssignmentLetsTheTechnicianPressOKAgain)
{
    site.Run(form, [&] {
        site.host.AdvanceTimers(100);
        site.Module().Reject(ModuleCommand::Login, 'R');
        form.txtIP.UserType("127.0.0.50");
        form.cmdOK.UserClick();
        site.host.AdvanceTimers(5000);
        EXPECT_TRUE(form.Loaded());
        EXPECT_TRUE(form.cmdOK.Enabled());
        site.Module().Restore(ModuleCommand::Login);
        form.cmdOK.UserClick();
        site.host.AdvanceTimers(100);
    });
    const Wire firstTry(kWriteAddress.begin(), kWriteAddress.begin() + 3);
    EXPECT_EQ(site.Wire(), Concat(Concat(kReadAddress, firstTry), kWriteAddress));
    EXPECT_EQ(site.host.MessageTexts(), (Wire{"Login rejected.\r\nReply code: R", "Ethernet setup successfully."}));
}

// Tested every 400 ms, a step times out more than 1.0 and at most 1.4 seconds after its command,
// also across midnight.
TEST(FSetupEthTimeOut, ComesBetweenOneAndOnePointFourSecondsAfterTheCommand)
{
    struct Case {
        double timeOfDay;
        double latency;  // of the select reply: when the silent login goes out
        int messageAtMs;
    };
    for (const Case& c : {Case{36000.0, 0.05, 1200}, Case{36000.0, 0.19, 1200}, Case{36000.0, 0.21, 1600},
                          Case{86399.5, 0.0002, 1600}}) {
        ModuleSite site(c.timeOfDay);
        FSetupEth form(site.host, site.Platform());
        site.Module().latencySeconds = c.latency;
        site.Module().Silence(ModuleCommand::Login);
        site.Run(form, [&] {
            site.host.AdvanceTimers(c.messageAtMs - 1);
            EXPECT_TRUE(site.host.Messages().empty()) << c.latency;
            site.host.AdvanceTimers(1);
            EXPECT_EQ(site.host.MessageTexts(), Wire{"Timeout step 2"}) << c.latency;
        });
    }
}

TEST_F(FSetupEthTest, CancelAtAnyStepSendsNothingMore)
{
    struct Case {
        ModuleCommand silenced;
        bool afterOK;
        std::string last;
    };
    const Case cases[] = {
        {ModuleCommand::Select, false, kSelect},          {ModuleCommand::Login, false, "L"},
        {ModuleCommand::GetIP, false, "GIP"},             {ModuleCommand::Logout, false, "O"},
        {ModuleCommand::AssignIP, true, kWriteAddress[0]}, {ModuleCommand::Select, true, kSelect},
        {ModuleCommand::Login, true, "L"},                {ModuleCommand::Setting, true, "SONQ.B.F."},
        {ModuleCommand::Logout, true, "O"},
    };
    for (const Case& c : cases) {
        ModuleSite site;
        FSetupEth form(site.host, site.Platform());
        std::size_t sent = 0;
        if (!c.afterOK) site.Module().Silence(c.silenced);
        site.Run(form, [&] {
            if (c.afterOK) {
                site.host.AdvanceTimers(100);
                site.Module().Silence(c.silenced);
                form.txtIP.UserType("127.0.0.50");
                form.cmdOK.UserClick();
            }
            site.host.AdvanceTimers(500);
            // The module answers after all, too late.
            site.Module().Restore(c.silenced);
            form.cmdAnnulla.UserClick();
            sent = site.Wire().size();
            site.Arrive("A");
            site.host.AdvanceTimers(5000);
        });
        EXPECT_EQ(site.Wire().size(), sent) << c.last;
        EXPECT_EQ(site.Wire().back(), c.last);
        EXPECT_TRUE(site.host.Messages().empty()) << c.last;
    }
}

TEST_F(FSetupEthTest, AnInvalidNewAddressIsRefusedWithNothingSent)
{
    site.Run(form, [&] {
        site.host.AdvanceTimers(100);
        for (const char* bad : {"", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1.2.3.256", "0.0.0.0", "255.255.255.255",
                                "224.0.0.1", "239.1.2.3", "240.0.0.1", "1.2.3.x", " 1.2.3.4", "1.2.3.4 ", "1..2.3",
                                "1234.1.1.1", "-1.2.3.4", "1.2.3.4/8"}) {
            form.txtIP.UserType(bad);
            form.cmdOK.UserClick();
            site.host.AdvanceTimers(2000);
            EXPECT_TRUE(form.Loaded()) << bad;
            EXPECT_TRUE(form.cmdOK.Enabled()) << bad;
            EXPECT_EQ(site.host.MessageTexts().back(), "The IP address is not valid.") << bad;
            EXPECT_EQ(site.host.Messages().back().icon, ui::MsgIcon::Exclamation);
        }
        EXPECT_EQ(site.Wire(), kReadAddress);
        form.txtIP.UserType("223.255.255.254");
        form.cmdOK.UserClick();
        site.host.AdvanceTimers(100);
    });
    EXPECT_EQ(site.Wire()[kReadAddress.size()], "A" + kMac + "//223.255.255.254");
}

// Only the reply to the command outstanding moves the window on: not a discovery reply (of this
// or another module), not an empty datagram, not a reply while it waits for the technician.
TEST_F(FSetupEthTest, RepliesThatAreNotTheAnswerChangeNothing)
{
    // Each command answered half a second late, so that the others come first.
    site.Module().latencySeconds = 0.5;
    site.Run(form, [&] {
        site.host.AdvanceTimers(600);
        ASSERT_EQ(site.Wire(), (Wire{kSelect, "L"}));
        site.Arrive(std::string("A00-50-C2-5A-10-02/7000/1/0/0/ZEM-ETH-2") + '\0');
        site.Arrive("A" + kMac + "/7000/1/0/0/ZEM-ETH-1");
        site.Arrive("");
        site.host.AdvanceTimers(100);
        EXPECT_EQ(site.Wire(), (Wire{kSelect, "L"}));
        site.host.AdvanceTimers(2000);
        EXPECT_EQ(site.Wire(), kReadAddress);
        site.Arrive("A");
        site.Arrive("R");
        site.host.AdvanceTimers(100);
        EXPECT_EQ(site.Wire(), kReadAddress);
        EXPECT_EQ(form.txtIP.Text(), "127.0.0.11");
        EXPECT_TRUE(site.host.Messages().empty());
    });
}

} // namespace
} // namespace zem::test
