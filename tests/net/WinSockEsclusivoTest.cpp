#include "tests/net/NetTestSupport.h"

#include <gtest/gtest.h>
#include <memory>

namespace zem::test {
namespace {

// A socket on the pump that records each data arrival (and fetches the datagram when asked to).
struct Listener {
    explicit Listener(WinSockEsclusivo* pump, bool fetch = true) : socket(pump, "127.0.0.1")
    {
        socket.Bind(0);
        socket.DataArrival = [this, fetch](std::size_t size) {
            sizes.push_back(size);
            if (fetch) data.push_back(socket.GetData());
        };
    }
    UdpSocket socket;
    std::vector<std::size_t> sizes;
    std::vector<Bytes> data;
};

void SendTo(const UdpSocket& to, const Bytes& datagram)
{
    UdpSocket sender(nullptr, "127.0.0.1");
    Aim(sender, to.LocalPort());
    ASSERT_TRUE(sender.SendData(datagram));
    ASSERT_TRUE(Readable(to));
}

TEST(WinSockEsclusivo, DataArrivalIsRaisedByThePumpWithTheDatagramSizeOnceADatagram)
{
    WinSockEsclusivo pump;
    Listener a(&pump);
    SendTo(a.socket, Bytes(UdpSocket::kMaxDatagram + 1, 0x02));  // never announced
    SendTo(a.socket, {0x02, 0x04, 0x06});
    EXPECT_TRUE(a.sizes.empty()) << "nothing runs until the pump is called";
    EXPECT_TRUE(pump.PompaMessaggiSocket());
    EXPECT_EQ(a.sizes, std::vector<std::size_t>{3});
    EXPECT_EQ(a.data, (std::vector<Bytes>{{0x02, 0x04, 0x06}}));

    // Left unfetched, a datagram is notified once; the next one once it is fetched.
    Listener u(&pump, false);
    SendTo(u.socket, {1});
    SendTo(u.socket, {2, 2});
    EXPECT_TRUE(pump.PompaMessaggiSocket());
    EXPECT_FALSE(pump.PompaMessaggiSocket()) << "no second notification for the same data";
    EXPECT_EQ(u.socket.GetData(), Bytes{1});
    EXPECT_TRUE(pump.PompaMessaggiSocket());
    EXPECT_EQ(u.sizes, (std::vector<std::size_t>{1, 2}));
}

TEST(WinSockEsclusivo, EachCallDispatchesOneNotificationTakingTheSocketsInTurn)
{
    WinSockEsclusivo pump;
    Listener a(&pump), b(&pump);
    SendTo(a.socket, {1});
    SendTo(a.socket, {2});
    SendTo(b.socket, {3});

    std::vector<std::pair<std::size_t, std::size_t>> seen;  // arrivals on a and b after each call
    for (int call = 0; call < 4; ++call) {
        const bool took = pump.PompaMessaggiSocket();
        EXPECT_EQ(took, call < 3) << "call " << call;
        seen.emplace_back(a.sizes.size(), b.sizes.size());
    }
    // a's second datagram waits its turn behind b.
    EXPECT_EQ(seen, (std::vector<std::pair<std::size_t, std::size_t>>{{1, 0}, {1, 1}, {2, 1}, {2, 1}}));
    EXPECT_EQ(a.data, (std::vector<Bytes>{{1}, {2}}));
}

} // namespace
} // namespace zem::test
