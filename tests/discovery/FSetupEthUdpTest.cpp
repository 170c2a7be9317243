#include "discovery/FSetupEth.h"
#include "link/SystemPlatform.h"
#include "sim/SimulatedBridge.h"
#include "sim/StandardModules.h"
#include "sim/ZemsimProcess.h"
#include "ui/ScriptedHost.h"

#include <gtest/gtest.h>
#include <poll.h>

namespace zem::test {
namespace {

const std::string kZemsim = std::string(ZEM_BINARY_DIR) + "/zemsim";

// FSetupEth on the program's own platform (wall clock, UDP sockets, the pump the desktop watches)
// against the modules zemsim serves on loopback. Each stretch of scripted time lets the replies
// arrive that come within 50 ms of each other.
struct OverUdp {
    explicit OverUdp(std::vector<std::string> zemsimArgs) : sim(kZemsim, std::move(zemsimArgs))
    {
        host.OnClockAdvance([this](double) {
            for (;;) {
                std::vector<pollfd> fds;
                for (const int fd : system.WindowPump().Descriptors()) fds.push_back({fd, POLLIN, 0});
                if (fds.empty() || ::poll(fds.data(), fds.size(), 50) <= 0) return;
                if (!system.WindowPump().PompaMessaggiSocket()) return;
            }
        });
    }

    ZemsimProcess sim;
    sim::FakeClock unused;
    sim::SimulatedBridge bridge{unused};
    SystemPlatform system{bridge, {"127.0.0.1", sim.ModulesPort()}};
    ui::ScriptedHost host;
};

// Assigning an address over loopback is zemcli eth-setup's test; this one pins zemsim's knob.
TEST(FSetupEthOverUdp, ShowsTheRejectionCodeZemsimWasToldToAnswer)
{
    OverUdp net({"--modules", "0", "--module-reject", "login:R"});
    ASSERT_NE(net.sim.ModulesPort(), 0) << net.sim.Output();
    FSetupEth form(net.host, net.system.Platform());
    net.host.OnForm("FSetupEth", [&](ui::Form&) {
        net.host.AdvanceTimers(100);
        form.cmdAnnulla.UserClick();
    });
    form.LoadForm(sim::kModuleMac2);
    EXPECT_EQ(net.host.MessageTexts(), std::vector<std::string>{"Login rejected.\r\nReply code: R"});
}

} // namespace
} // namespace zem::test
