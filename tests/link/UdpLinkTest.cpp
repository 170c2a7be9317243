// The link over real UDP on 127.0.0.1 against the zemsim program: the socket control, the
// socket-only pump and the wall clock together, with echo and reply in separate datagrams (one
// datagram is what zemcli's monitor test meets).
#include "link/Clock.h"
#include "link/UCZEM2.h"
#include "link/net/UdpSocket.h"
#include "link/net/WinSockEsclusivo.h"
#include "link/usb/GestioneUSB.h"
#include "sim/SimulatedBridge.h"
#include "sim/ZemsimProcess.h"

#include <gtest/gtest.h>

namespace zem {
namespace {

TEST(UdpLink, OpensAndExchangesFramesWithZemsimWhenEchoAndReplyComeApart)
{
    SystemClock clock;
    sim::FakeClock noClock;
    sim::SimulatedBridge noBridges{noClock};
    GestioneUSB usb{noBridges, clock};
    WinSockEsclusivo pump;
    UdpSocket socket{&pump};
    UCZEM2 link{clock, usb, pump, socket};
    test::ZemsimProcess zemsim(std::string(ZEM_BINARY_DIR) + "/zemsim", {"--split"});
    ASSERT_NE(zemsim.Port(), 0) << zemsim.Output();
    int noise = 0;
    link.Noise = [&] { ++noise; };

    ASSERT_TRUE(link.ApriPortaETH("127.0.0.1", zemsim.Port()));
    EXPECT_EQ(link.Protocollo(), 14);
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(link.InviaComando1Byte(4)) << i;
        EXPECT_EQ(link.BufferRX()[0], 2);
    }
    EXPECT_EQ(noise, 0);
    link.ChiudiComunicazione();
}

} // namespace
} // namespace zem
