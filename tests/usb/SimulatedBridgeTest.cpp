#include "sim/SimulatedBridge.h"

#include <gtest/gtest.h>

#include <array>
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
        ASSERT_EQ(written, bytes.size());
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
        EXPECT_EQ(bridge.FT_GetQueueStatus(handle, n), FT_OK);
        return n;
    }

    FakeClock clock;
    SimulatedBridge bridge{clock};
    std::size_t device = 0;
    FT_HANDLE handle = 0;
};

TEST_F(Bridge, TheWireModelTakes8MicrosecondsABytePlusTheLatency)
{
    bridge.SetWireTiming({true, 0.001});
    Write(Bytes(10, 0xAA));
    // 10 bytes out, then each echoed byte 8 us later, plus 1 ms.
    const double last = 20 * SimulatedBridge::kByteSeconds + 0.001;
    EXPECT_EQ(Waiting(), 0u);
    clock.AdvanceTo(last - SimulatedBridge::kByteSeconds / 2);
    EXPECT_EQ(Waiting(), 9u);
    EXPECT_EQ(Read(10).size(), 10u);
    EXPECT_NEAR(clock.Monotonic(), last, 1e-12);
}

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

TEST_F(Bridge, AClosedHandleIsInvalidAndAReopenStartsAfresh)
{
    ASSERT_EQ(bridge.FT_SetBaudRate(handle, 1250000), FT_OK);
    FT_HANDLE second = 0;
    EXPECT_EQ(bridge.FT_OpenEx("MR400012", FT_OPEN_BY_SERIAL_NUMBER, second), FT_DEVICE_NOT_OPENED);
    EXPECT_EQ(second, 0u);

    ASSERT_EQ(bridge.FT_Close(handle), FT_OK);
    std::uint32_t n = 0;
    std::array<std::uint8_t, 1> b{};
    EXPECT_EQ(bridge.FT_Read(handle, b, n), FT_INVALID_HANDLE);
    EXPECT_EQ(bridge.FT_Close(handle), FT_INVALID_HANDLE);

    ASSERT_EQ(bridge.FT_OpenEx("MR400012", FT_OPEN_BY_SERIAL_NUMBER, second), FT_OK);
    EXPECT_NE(second, handle);
    EXPECT_EQ(bridge.Settings(device).baud, 9600u);
    EXPECT_EQ(bridge.FT_OpenEx("MR999999", FT_OPEN_BY_SERIAL_NUMBER, second), FT_DEVICE_NOT_FOUND);
}

TEST_F(Bridge, AnEepromImageMustFitTheChipFamily)
{
    ProgramImage older = ProgramDataOlder{};
    EXPECT_EQ(bridge.FT_EE_Read(handle, older), FT_INVALID_PARAMETER);
    EXPECT_EQ(bridge.FT_EE_Program(handle, older), FT_INVALID_PARAMETER);
    ProgramImage newer = ProgramDataNewer{};
    EXPECT_EQ(bridge.FT_EE_Read(handle, newer), FT_EEPROM_NOT_PROGRAMMED);
    EXPECT_EQ(std::get<ProgramDataNewer>(newer).VendorId, 0x0403);
}

} // namespace
} // namespace zem::sim
