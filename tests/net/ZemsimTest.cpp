#include "tests/net/NetTestSupport.h"
#include "sim/ZemsimProcess.h"

#include <gtest/gtest.h>

namespace zem::test {
namespace {

const std::string kZemsim = std::string(ZEM_BINARY_DIR) + "/zemsim";

// Sends the request `times` times to the running zemsim and returns the datagrams that come back.
std::vector<Bytes> Ask(const ZemsimProcess& sim, const Bytes& request, std::size_t datagrams, int times = 1)
{
    WinSockEsclusivo pump;
    UdpSocket host(&pump, "127.0.0.1");
    Aim(host, sim.Port());
    for (int i = 0; i < times; ++i) EXPECT_TRUE(host.SendData(request));
    return Collect(pump, host, datagrams);
}

TEST(Zemsim, AnswersFramesOverLoopbackSplitOnRequestAndStopsOnSigtermOrItsInput)
{
    ZemsimProcess sim(kZemsim, {});
    ASSERT_NE(sim.Port(), 0) << sim.Output();
    // Identity: release 11, type 14.
    EXPECT_EQ(Ask(sim, {0x02, 0x01, 0x03}, 1), (std::vector<Bytes>{{0x02, 0x01, 0x03, 0x03, 0x0B, 0x0E, 0x1C}}));
    EXPECT_EQ(sim.Stop(SIGTERM), 0);
    ZemsimProcess split(kZemsim, {"--split"});
    ASSERT_NE(split.Port(), 0) << split.Output();
    EXPECT_EQ(Ask(split, {0x02, 0x04, 0x06}, 2), (std::vector<Bytes>{{0x02, 0x04, 0x06}, {0x03, 0x00, 0x00, 0x03}}));
    EXPECT_EQ(split.Stop(0), 0);
}

// The periodic faults of the server, through its switches.
TEST(Zemsim, FaultSwitchesHitEveryNthDatagram)
{
    ZemsimProcess sim(kZemsim, {"--drop-every", "2", "--corrupt-every", "2"});
    ASSERT_NE(sim.Port(), 0) << sim.Output();
    // Requests 2 and 4 are lost; of the two answers, the second comes back with its first byte flipped.
    EXPECT_EQ(Ask(sim, {0x02, 0x04, 0x06}, 2, 4), (std::vector<Bytes>{{0x02, 0x04, 0x06, 0x03, 0x00, 0x00, 0x03},
                                                         {0xFD, 0x04, 0x06, 0x03, 0x00, 0x00, 0x03}}));
}

TEST(Zemsim, RefusesBadArguments)
{
    for (const char* bad : {"--port=1", "--drop-every"}) {
        ZemsimProcess sim(kZemsim, {bad, "-1"}, 2000);
        EXPECT_EQ(sim.Port(), 0) << bad;
        EXPECT_EQ(sim.Stop(0), 2) << bad;
    }
}

} // namespace
} // namespace zem::test
