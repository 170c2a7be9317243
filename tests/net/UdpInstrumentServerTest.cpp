#include "tests/net/NetTestSupport.h"

#include "link/Clock.h"
#include "sim/FakeClock.h"
#include "sim/SimulatedInstrument.h"
#include "sim/UdpInstrumentServer.h"

#include <gtest/gtest.h>

namespace zem::test {
namespace {

using sim::FaultKind;
using sim::LineFault;
using sim::UdpInstrumentServer;

const Bytes kRequest{0x02, 0x04, 0x06};
const Bytes kReply{0x03, 0x12, 0x34, 0x49};  // 3 + 0x12 + 0x34 = 0x49
const Bytes kWhole{0x02, 0x04, 0x06, 0x03, 0x12, 0x34, 0x49};

// A server driven by Poll on a fake clock, and a host socket talking to it.
struct Bench {
    Bench() : server(instrument, clock, {}), host(&pump, "127.0.0.1")
    {
        instrument.SetCommand(4, [](auto) { return std::optional<Bytes>{{0x12, 0x34}}; });
        EXPECT_TRUE(server.Open());
        Aim(host, server.Port());
    }
    // Sends one datagram, lets the server take it and returns what has come back by then.
    std::vector<Bytes> Exchange(const Bytes& datagram)
    {
        EXPECT_TRUE(host.SendData(datagram));
        EXPECT_EQ(server.Poll(2.0), 1);
        return Collect(pump, host, 0, 0);
    }

    sim::SimulatedInstrument instrument;
    sim::FakeClock clock;
    UdpInstrumentServer server;
    WinSockEsclusivo pump{0};
    UdpSocket host;
};

// Echo and reply apart are pinned through zemsim's switch.
TEST(UdpInstrumentServer, EchoAndReplyGoInOneDatagramAndStreamedBlocksOneToADatagram)
{
    Bench b;
    b.instrument.SetCommand(9, [&](std::span<const std::uint8_t>) {
        b.instrument.EmitStream({0, 2, 0xAA, 0xBB});
        b.instrument.EmitStream({1, 1, 0xCC});
        return std::optional<Bytes>{{0x04}};
    });
    EXPECT_EQ(b.Exchange({0x02, 0x09, 0x0B}),
              (std::vector<Bytes>{{0x02, 0x09, 0x0B, 0x02, 0x04, 0x06}, {0, 2, 0xAA, 0xBB}, {1, 1, 0xCC}}));
}

TEST(UdpInstrumentServer, LineFaultsShapeWhatEachSideReceives)
{
    struct Case {
        const char* what;
        bool toInstrument;
        LineFault fault;
        std::vector<Bytes> back;
    };
    const Case cases[] = {
        {"request checksum hit: echoed as received, not executed", true,
         {.kind = FaultKind::Corrupt, .index = 2, .mask = 0x01}, {{0x02, 0x04, 0x07}}},
        {"request cut in two: each piece echoed as it comes", true,
         {.kind = FaultKind::Split, .index = 1}, {{0x02}, {0x04, 0x06, 0x03, 0x12, 0x34, 0x49}}},
        {"answer tail lost", false, {.kind = FaultKind::Drop, .index = 5}, {{0x02, 0x04, 0x06, 0x03, 0x12}}},
        {"answer duplicated", false, {.kind = FaultKind::Duplicate}, {kWhole, kWhole}},
        {"answer split", false, {.kind = FaultKind::Split, .index = 3}, {kRequest, kReply}},
    };
    for (const Case& c : cases) {
        Bench b;
        (c.toInstrument ? b.server.ToInstrument() : b.server.FromInstrument()).Queue(c.fault);
        EXPECT_EQ(b.Exchange(kRequest), c.back) << c.what;
        EXPECT_EQ(b.Exchange(kRequest), std::vector<Bytes>{kWhole}) << c.what << ": only one datagram is hit";
    }
}

} // namespace
} // namespace zem::test
