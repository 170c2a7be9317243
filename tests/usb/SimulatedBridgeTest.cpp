#include "sim/SimulatedBridge.h"

#include <gtest/gtest.h>

#include <vector>

namespace zem::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The bridge as the link's tests and benchmarks see it: one device, opened, with 100 ms reads.
class Bridge : public ::testing::Test {
public:
    Bridge()
    {
        device = bridge.AddDevice({"MR400012", FT_DEVICE_232R, std::nullopt});
        EXPECT_EQ(bridge.FT_OpenEx("MR400012", FT_OPEN_BY_SERIAL_NUMBER, handle), FT_OK);
        EXPECT_EQ(bridge.FT_SetTimeouts(handle, 100, 1000), FT_OK);
        // A line that echoes everything it is sent.
        bridge.AttachPeer(device, [](std::span<const std::uint8_t> b) { return std::vector<Bytes>{Bytes(b.begin(), b.end())}; });
    }

    void Write(const Bytes& bytes)
    {
        std::uint32_t written = 0;
        ASSERT_EQ(bridge.FT_Write(handle, bytes, written), FT_OK);
    }

    Bytes Read(std::size_t count)
    {
        Bytes out(count);
        std::uint32_t received = 0;
        EXPECT_EQ(bridge.FT_Read(handle, out, received), FT_OK);
        out.resize(received);
        return out;
    }

    std::uint32_t Waiting()
    {
        std::uint32_t n = 0;
        bridge.FT_GetQueueStatus(handle, n);
        return n;
    }

    FakeClock clock;
    SimulatedBridge bridge{clock};
    std::size_t device = 0;
    FT_HANDLE handle = 0;
};

// The link's tests lean on these faults (lost, corrupted and late replies); here, what they
// cannot see: the host's log, and splits and delays holding up the bytes behind them.
TEST_F(Bridge, FaultsApplyPerDirectionAndHoldUpWhatFollows)
{
    std::vector<Bytes> seen;
    bridge.AttachPeer(device, [&seen](std::span<const std::uint8_t> b) {
        seen.emplace_back(b.begin(), b.end());
        return std::vector<Bytes>{Bytes(b.begin(), b.end())};
    });
    bridge.HostToInstrument(device).Queue({FaultKind::Corrupt, 1, 0, 0x01});
    Write({0x10, 0x20, 0x30});
    EXPECT_EQ(seen.back(), (Bytes{0x10, 0x21, 0x30}));
    EXPECT_EQ(bridge.Written(device), (Bytes{0x10, 0x20, 0x30})) << "the log keeps what the host wrote";
    EXPECT_EQ(Read(3), (Bytes{0x10, 0x21, 0x30}));

    bridge.InstrumentToHost(device).Queue({FaultKind::Split, 1, 0, 0, 0.5});
    Write({0x60, 0x70});
    EXPECT_EQ(Waiting(), 1u);
    clock.Advance(0.5);
    EXPECT_EQ(Read(2), (Bytes{0x60, 0x70}));

    bridge.InstrumentToHost(device).Queue({FaultKind::Delay, 0, 0, 0, 0.3});
    Write({1});
    Write({2});
    EXPECT_EQ(Read(2), (Bytes{}));  // waits its 100 ms time-out, returns what came
    clock.Advance(0.2);
    EXPECT_EQ(Read(2), (Bytes{1, 2}));
}

} // namespace
} // namespace zem::sim
