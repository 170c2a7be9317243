#include "discovery/FSetupEth.h"
#include "link/net/UdpSocket.h"
#include "link/usb/GestioneUSB.h"
#include "link/net/WinSockEsclusivo.h"
#include "sim/FakeClock.h"
#include "sim/SimulatedBridge.h"
#include "sim/StandardModules.h"
#include "sim/ZemsimProcess.h"
#include "ui/ScriptedHost.h"

#include <gtest/gtest.h>

namespace zem::test {
namespace {

const std::string kZemsim = std::string(ZEM_BINARY_DIR) + "/zemsim";

// FSetupEth on real UDP sockets against the modules zemsim serves on loopback. Time-outs run on a
// fake clock; each stretch of it lets the replies that come within 50 ms arrive.
struct OverUdp {
    explicit OverUdp(std::vector<std::string> zemsimArgs) : sim(kZemsim, std::move(zemsimArgs))
    {
        host.OnClockAdvance([this](double seconds) {
            clock.Advance(seconds);
            while (windowPump.PompaMessaggiSocket()) {
            }
        });
    }
    LinkPlatform Platform()
    {
        return {clock, usb, linkPump, [this] { return std::make_unique<UdpSocket>(&linkPump, "127.0.0.1"); },
                [this] { return std::make_unique<UdpSocket>(&windowPump, "127.0.0.1"); },
                {"127.0.0.1", sim.ModulesPort()}};
    }

    ZemsimProcess sim;
    sim::FakeClock clock;
    sim::SimulatedBridge bridge{clock};
    GestioneUSB usb{bridge, clock};
    WinSockEsclusivo linkPump;
    WinSockEsclusivo windowPump{50};
    ui::ScriptedHost host;
};

TEST(FSetupEthOverUdp, AssignsANewAddressToAModuleOfZemsim)
{
    OverUdp net({"--modules", "0"});
    ASSERT_NE(net.sim.ModulesPort(), 0) << net.sim.Output();
    FSetupEth form(net.host, net.Platform());
    net.host.OnForm("FSetupEth", [&](ui::Form&) {
        net.host.AdvanceTimers(100);
        EXPECT_EQ(form.txtIP.Text(), "127.0.0.11");
        EXPECT_EQ(form.txtLocalIP.Caption(), "127.0.0.1");
        form.txtIP.UserType("127.0.0.60");
        form.cmdOK.UserClick();
        net.host.AdvanceTimers(100);
    });
    form.LoadForm(sim::kModuleMac1);
    EXPECT_EQ(net.host.MessageTexts(), std::vector<std::string>{"Ethernet setup successfully."});

    net.host.OnForm("FSetupEth", [&](ui::Form&) {
        net.host.AdvanceTimers(100);
        EXPECT_EQ(form.txtIP.Text(), "127.0.0.60");
        form.cmdAnnulla.UserClick();
    });
    form.LoadForm(sim::kModuleMac1);
}

TEST(FSetupEthOverUdp, ShowsTheRejectionCodeZemsimWasToldToAnswer)
{
    OverUdp net({"--modules", "0", "--module-reject", "login:R"});
    ASSERT_NE(net.sim.ModulesPort(), 0) << net.sim.Output();
    FSetupEth form(net.host, net.Platform());
    net.host.OnForm("FSetupEth", [&](ui::Form&) { net.host.AdvanceTimers(2000); });
    form.LoadForm(sim::kModuleMac2);
    EXPECT_EQ(net.host.MessageTexts(),
              (std::vector<std::string>{"Login rejected.\r\nReply code: R", "Timeout step 2"}));
}

} // namespace
} // namespace zem::test
