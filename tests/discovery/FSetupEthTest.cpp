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

struct FSetupEthTest : ::testing::Test {
    ModuleSite site;
    FSetupEth form{site.host, site.Platform()};
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
    EXPECT_EQ(Wire(site.Wire().begin() + kReadAddress.size(), site.Wire().end()), kWriteAddress);
    EXPECT_EQ(site.host.MessageTexts(), Wire{"Ethernet setup successfully."});
    EXPECT_EQ(site.host.Messages()[0].icon, ui::MsgIcon::Information);
    EXPECT_EQ(site.Module().Identity().ip, "127.0.0.50");
}

// What the technician sees when the module refuses a command or stops answering, and that
// nothing is sent after the command that failed; nor after Cancel, whatever comes back then.
TEST_F(FSetupEthTest, RejectionsSilencesAndCancelEndTheSetup)
{
    enum class Knob { Reject, Silence, Cancel };
    // `last`: the last datagram sent.
    struct Case { ModuleCommand command; Knob knob; bool afterOK; Wire messages; std::string last; };
    const auto rejected = [](const std::string& line) { return line + "\r\nReply code: R"; };
    using enum ModuleCommand;
    const Case cases[] = {
        {Select, Knob::Silence, false, {"Timeout step 1"}, kSelect},
        {Login, Knob::Reject, false, {rejected("Login rejected."), "Timeout step 2"}, "L"},
        {GetIP, Knob::Reject, false, {rejected("Get IP-address rejected."), "Get IP-address timeout."}, "GIP"},
        {Logout, Knob::Reject, false, {rejected("Get status rejected."), "Timeout step 4"}, "O"},
        {AssignIP, Knob::Reject, true, {rejected("Assign IP-address rejected."), "Assign IP-address timeout."},
         kWriteAddress[0]},
        {Select, Knob::Reject, true, {rejected("Device setup rejected.")}, kSelect},
        {Select, Knob::Silence, true, {"127.0.0.50\r\nIP-address is unreachable with your network."}, kSelect},
        {Setting, Knob::Reject, true, {rejected("Device setup rejected.")}, "SONQ.B.F."},
        {Setting, Knob::Silence, true, {"Timeout step 13"}, "SONQ.B.F."},
        {Logout, Knob::Reject, true, {rejected("Logout rejected.")}, "O"},
        {Logout, Knob::Silence, true, {"Timeout step 20"}, "O"},
        {GetIP, Knob::Cancel, false, {}, "GIP"}, {AssignIP, Knob::Cancel, true, {}, kWriteAddress[0]},
        {Setting, Knob::Cancel, true, {}, "SONQ.B.F."},
    };
    for (const Case& c : cases) {
        ModuleSite site;
        FSetupEth form(site.host, site.Platform());
        const auto knob = [&] {
            if (c.knob == Knob::Reject) site.Module().Reject(c.command, 'R'); else site.Module().Silence(c.command);
        };
        std::size_t sent = 0;
        if (!c.afterOK) knob();
        site.Run(form, [&] {
            if (c.afterOK) {  // the address read, the module is set to misbehave, then 127.0.0.50 asked for
                site.host.AdvanceTimers(100);
                knob();
                form.txtIP.UserType("127.0.0.50");
                form.cmdOK.UserClick();
            }
            if (c.knob == Knob::Cancel) {
                site.host.AdvanceTimers(500);
                form.cmdAnnulla.UserClick();
                sent = site.Wire().size();
                // The module answers after all, too late.
                site.Module().Restore(c.command);
                site.Arrive("A");
            }
            site.host.AdvanceTimers(3000);
            EXPECT_FALSE(form.Loaded());
        });
        EXPECT_EQ(site.host.MessageTexts(), c.messages) << c.last;
        for (const auto& m : site.host.Messages()) EXPECT_EQ(m.icon, ui::MsgIcon::Exclamation) << c.last;
        ASSERT_FALSE(site.Wire().empty());
        EXPECT_EQ(site.Wire().back(), c.last);
        if (c.knob == Knob::Cancel) {
            EXPECT_EQ(site.Wire().size(), sent) << c.last;
        }
    }
}

// Tested every 400 ms, a step times out more than 1.0 and at most 1.4 seconds after its command,
// also across midnight.
TEST(FSetupEthTimeOut, ComesBetweenOneAndOnePointFourSecondsAfterTheCommand)
{
    // Time of day; latency of the select reply, which is when the unanswered login goes out;
    // when the time-out shows.
    const std::tuple<double, double, int> cases[] = {
        {36000.0, 0.05, 1200}, {36000.0, 0.19, 1200}, {36000.0, 0.21, 1600}, {86399.5, 0.0002, 1600}};
    for (const auto& [timeOfDay, latency, messageAtMs] : cases) {
        ModuleSite site(timeOfDay);
        FSetupEth form(site.host, site.Platform());
        site.Module().latencySeconds = latency;
        site.Module().Silence(ModuleCommand::Login);
        site.Run(form, [&] {
            site.host.AdvanceTimers(messageAtMs - 1);
            EXPECT_TRUE(site.host.Messages().empty()) << latency;
            site.host.AdvanceTimers(1);
            EXPECT_EQ(site.host.MessageTexts(), Wire{"Timeout step 2"}) << latency;
        });
    }
}

TEST_F(FSetupEthTest, AnInvalidNewAddressIsRefusedWithNothingSent)
{
    site.Run(form, [&] {
        site.host.AdvanceTimers(100);
        for (const char* bad : {"", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1.2.3.256", "0.0.0.0", "255.255.255.255",
                                "224.0.0.1", "240.0.0.1", "1.2.3.x", " 1.2.3.4", "1..2.3", "1.2.3.4/8"}) {
            form.txtIP.UserType(bad);
            form.cmdOK.UserClick();
            site.host.AdvanceTimers(2000);
            EXPECT_TRUE(form.Loaded()) << bad;
            EXPECT_EQ(site.host.MessageTexts().back(), "The IP address is not valid.") << bad;
        }
        EXPECT_EQ(site.Wire(), kReadAddress);
    });
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

// Once the module has answered the selection, another host answers first: its replies are dropped.
TEST_F(FSetupEthTest, RepliesFromAnotherAddressThanTheModulesAreNotItsAnswers)
{
    site.Run(form, [&] {
        const std::string lie = "A10.9.9.9/";
        for (int i = 0; i < 2; ++i) site.machine.network.Deliver(*site.windowSocket, {lie.begin(), lie.end()}, 0.0003, "127.0.0.99", 65535);
        site.host.AdvanceTimers(100);
        EXPECT_EQ(site.Wire(), kReadAddress);
        EXPECT_EQ(form.txtIP.Text(), "127.0.0.11");
        EXPECT_EQ(form.RisposteEstranee(), 2u);
    });
}

} // namespace
} // namespace zem::test
