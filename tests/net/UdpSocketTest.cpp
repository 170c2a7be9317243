#include "tests/net/NetTestSupport.h"

#include <gtest/gtest.h>
#include <numeric>

namespace zem::test {
namespace {

TEST(UdpSocket, DatagramsCrossLoopbackWholeAndInOrderBothWaysAndOneOverTheLimitIsThrownAway)
{
    UdpSocket instrument(nullptr, "127.0.0.1");
    UdpSocket host(nullptr, "127.0.0.1");
    ASSERT_TRUE(instrument.Bind(0));
    Aim(host, instrument.LocalPort());

    EXPECT_EQ(host.LocalPort(), 0u) << "opened before its first send";
    Bytes largest(UdpSocket::kMaxDatagram);
    std::iota(largest.begin(), largest.end(), std::uint8_t{0});
    for (const Bytes& d : {Bytes{0x02, 0x04, 0x06}, Bytes(UdpSocket::kMaxDatagram + 1, 0xEE), largest, Bytes{0x00}})
        ASSERT_TRUE(host.SendData(d));
    EXPECT_NE(host.LocalPort(), 0u);

    ASSERT_TRUE(Readable(instrument));
    EXPECT_EQ(instrument.GetData(), (Bytes{0x02, 0x04, 0x06}));
    EXPECT_EQ(instrument.RemoteHostIP(), "127.0.0.1");
    EXPECT_EQ(instrument.GetData(), largest);  // the oversized one is gone whole
    EXPECT_EQ(instrument.DatagramsRefused(), 1u);
    EXPECT_EQ(instrument.GetData(), (Bytes{0x00}));
    EXPECT_TRUE(instrument.GetData().empty()) << "nothing else waits";

    instrument.SetRemoteHost("localhost");  // host names are resolved as well
    instrument.SetRemotePort(host.LocalPort());
    ASSERT_TRUE(instrument.SendData(Bytes{0x02, 0x04, 0x06, 0x03, 0x12, 0x34, 0x49}));
    ASSERT_TRUE(Readable(host));
    EXPECT_EQ(host.GetData(), (Bytes{0x02, 0x04, 0x06, 0x03, 0x12, 0x34, 0x49}));
}

TEST(UdpSocket, SendsToPort0FailAndBroadcastsGo)
{
    UdpSocket socket(nullptr, "127.0.0.1");
    Aim(socket, 0);
    EXPECT_FALSE(socket.SendData(Bytes{0x55}));
    // The module search goes to 255.255.255.255; the loopback net's broadcast address needs the
    // same permission and keeps the test on this machine.
    UdpSocket broadcast(nullptr, "127.0.0.1");
    broadcast.SetRemoteHost("127.255.255.255");
    broadcast.SetRemotePort(65535);
    EXPECT_TRUE(broadcast.SendData(Bytes{'X'})) << "broadcasts are allowed";
}

// A forger on another loopback address, and one on the peer's address but another port, answer
// first: before the connection (already queued) and after it; only the peer's datagram is fetched.
TEST(UdpSocket, AConnectedSocketHearsOnlyItsPeerAndCountsTheStrangersItDrops)
{
    UdpSocket peer(nullptr, "127.0.0.1"), otherPort(nullptr, "127.0.0.1"), otherHost(nullptr, "127.0.0.2");
    UdpSocket link(nullptr, "127.0.0.1");
    ASSERT_TRUE(peer.Bind(0) && otherPort.Bind(0) && otherHost.Bind(0) && link.Bind(0));
    for (UdpSocket* forger : {&otherPort, &otherHost}) Aim(*forger, link.LocalPort());
    Aim(link, peer.LocalPort());
    Aim(peer, link.LocalPort());
    auto forge = [&] {
        for (UdpSocket* forger : {&otherPort, &otherHost}) ASSERT_TRUE(forger->SendData(Bytes{0xF0}));
    };
    forge();
    ASSERT_TRUE(Readable(link));
    link.Connect();
    forge();
    ASSERT_TRUE(peer.SendData(Bytes{0x02, 0x04, 0x06}));
    ASSERT_TRUE(Readable(link));
    EXPECT_EQ(link.GetData(), (Bytes{0x02, 0x04, 0x06}));
    EXPECT_TRUE(link.GetData().empty());
    EXPECT_EQ(link.DatagramsFromOthers(), 2u) << "the system drops those sent after the connection";
    // Closed, the socket hears anyone again (the window's broadcast socket may be the same one).
    link.Close();
    ASSERT_TRUE(link.Bind(0));
    Aim(otherHost, link.LocalPort());
    ASSERT_TRUE(otherHost.SendData(Bytes{0xF1}) && Readable(link));
    EXPECT_EQ(link.GetData(), Bytes{0xF1});
}

} // namespace
} // namespace zem::test
