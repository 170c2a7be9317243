#include "UsbFixture.h"

#include <algorithm>
#include <array>
#include <vector>

namespace zem {
namespace {

using sim::BridgeCall;
using Bytes = std::vector<std::uint8_t>;

class Channel : public UsbFixture {
public:
    explicit Channel(double timeOfDay = 36000.0) : UsbFixture(timeOfDay)
    {
        device = AddProgrammed("ZEM Automation", "MR400012");
    }

    FT_HANDLE Open()
    {
        const FT_HANDLE handle = usb.ApriDispositivoUSB("MR400012");
        EXPECT_NE(handle, 0u);
        return handle;
    }

    std::size_t device;
};

TEST_F(Channel, OpeningConfiguresTheBridgeButLeavesTheBaudRateToTheCaller)
{
    const FT_HANDLE handle = Open();
    EXPECT_EQ(handle, bridge.HandleOf(device));
    sim::BridgeSettings expected;  // power-on baud rate, then 8N1, no flow control, 4096, 1 ms, 100/1000 ms
    expected.xon = 0;
    expected.xoff = 0;
    expected.inTransferSize = expected.outTransferSize = 4096;
    expected.latencyMs = 1;
    expected.readTimeoutMs = 100;
    expected.writeTimeoutMs = 1000;
    expected.resetPipeRetryCount = 0xFFFFFF;
    EXPECT_EQ(bridge.Settings(device), expected);
    EXPECT_EQ(bridge.Calls(BridgeCall::SetDataCharacteristics), 1u);
    EXPECT_EQ(bridge.Calls(BridgeCall::SetBaudRate), 0u);

    EXPECT_TRUE(usb.ImpostaBaudRate(handle, 1250000));
    EXPECT_EQ(bridge.Settings(device).baud, 1250000u);
}

TEST_F(Channel, ABridgeWithoutSerialNumberIsOpenedByTheEmptyText)
{
    const std::size_t blank = bridge.AddDevice({"", FT_DEVICE_232R, std::nullopt});
    const FT_HANDLE handle = usb.ApriDispositivoUSB("");
    EXPECT_NE(handle, 0u);
    EXPECT_EQ(handle, bridge.HandleOf(blank));
    EXPECT_EQ(usb.ApriDispositivoUSB("MR499999"), 0u);
}

class OpenFaults : public Channel, public ::testing::WithParamInterface<BridgeCall> {};

TEST_P(OpenFaults, StopAtTheFirstFailingCallAndLeaveTheBridgeClosed)
{
    static constexpr std::array order = {BridgeCall::OpenEx, BridgeCall::SetDataCharacteristics,
                                         BridgeCall::SetFlowControl, BridgeCall::SetUSBParameters,
                                         BridgeCall::SetLatencyTimer, BridgeCall::SetTimeouts,
                                         BridgeCall::SetResetPipeRetryCount};
    bridge.Fail(GetParam(), FT_IO_ERROR);
    EXPECT_EQ(usb.ApriDispositivoUSB("MR400012"), 0u);
    const auto failing = std::find(order.begin(), order.end(), GetParam());
    for (auto call = order.begin(); call != order.end(); ++call) {
        EXPECT_EQ(bridge.Calls(*call), call <= failing ? 1u : 0u) << static_cast<int>(*call);
    }
    EXPECT_FALSE(bridge.IsOpen(device));
    EXPECT_NE(usb.ApriDispositivoUSB("MR400012"), 0u) << "the bridge must be free for the next try";
}

INSTANTIATE_TEST_SUITE_P(Guasti, OpenFaults,
                         ::testing::Values(BridgeCall::OpenEx, BridgeCall::SetDataCharacteristics,
                                           BridgeCall::SetFlowControl, BridgeCall::SetUSBParameters,
                                           BridgeCall::SetLatencyTimer, BridgeCall::SetTimeouts,
                                           BridgeCall::SetResetPipeRetryCount));

// Reads of 6 bytes with a time-out: 2 are there at once, the other 4 come `restAfter` seconds after
// the moment the wait starts (the end of the first read, which itself waits 100 ms).
struct WaitCase {
    const char* name;
    double restAfter;  // < 0: never
    bool complete;
};

class ReadWithTimeout : public Channel, public ::testing::WithParamInterface<WaitCase> {};

TEST_P(ReadWithTimeout, CompletesOnlyWithin700Milliseconds)
{
    const FT_HANDLE handle = Open();
    const Bytes sent = {1, 2, 3, 4, 5, 6};
    bridge.InjectReceived(device, std::span(sent).first(2));
    constexpr double kFirstRead = 0.100;
    if (GetParam().restAfter >= 0) bridge.InjectReceived(device, std::span(sent).subspan(2), kFirstRead + GetParam().restAfter);

    std::array<std::uint8_t, 6> got{};
    const double start = clock.Monotonic();
    EXPECT_EQ(usb.LeggiBloccoUSBConAttesa(handle, got), GetParam().complete);
    const double took = clock.Monotonic() - start;
    if (GetParam().complete) {
        EXPECT_EQ(Bytes(got.begin(), got.end()), sent);
        EXPECT_NEAR(took, kFirstRead + GetParam().restAfter, 1e-9);
    } else {
        EXPECT_EQ(got[0], 1);
        EXPECT_EQ(got[1], 2);
        // Past 0.7 s of waiting, plus at most the one read time-out in progress.
        EXPECT_GT(took, kFirstRead + 0.7 - 1e-6);
        EXPECT_LE(took, kFirstRead + 0.8 + 1e-9);
    }
}

INSTANTIATE_TEST_SUITE_P(Attese, ReadWithTimeout,
                         ::testing::Values(WaitCase{"rest_within_the_first_read", 0.0, true}, WaitCase{"rest_at_0_35_s", 0.35, true},
                                           WaitCase{"rest_at_0_69_s", 0.69, true},
                                           WaitCase{"rest_at_0_85_s", 0.85, false}, WaitCase{"rest_never", -1.0, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Channel, AReadWithEverythingThereDoesNotWait)
{
    const FT_HANDLE handle = Open();
    const Bytes sent = {9, 8, 7};
    bridge.InjectReceived(device, sent);
    std::array<std::uint8_t, 3> got{};
    EXPECT_TRUE(usb.LeggiBloccoUSBConAttesa(handle, got));
    EXPECT_EQ(clock.Monotonic(), 0.0);
    EXPECT_EQ(bridge.Calls(BridgeCall::Read), 1u);
}

TEST_F(Channel, ADriverErrorEndsTheReadAtOnce)
{
    const FT_HANDLE handle = Open();
    std::array<std::uint8_t, 3> got{};
    bridge.Fail(BridgeCall::Read, FT_IO_ERROR);
    EXPECT_FALSE(usb.LeggiBloccoUSBConAttesa(handle, got));
    bridge.Fail(BridgeCall::Read, FT_IO_ERROR, 1, 2);  // the third read
    EXPECT_FALSE(usb.LeggiBloccoUSBConAttesa(handle, got));
    EXPECT_EQ(bridge.Calls(BridgeCall::Read), 1u + 3u);
}

class MidnightRead : public Channel {
public:
    // The wait starts 0.1 s before midnight, after the first read.
    MidnightRead() : Channel(86399.8) {}
};

TEST_F(MidnightRead, AfterTheClockWrapsTheWaitLastsUntilItPasses4Seconds)
{
    const FT_HANDLE handle = Open();
    bridge.InjectReceived(device, Bytes{1});
    std::array<std::uint8_t, 2> got{};
    const double start = clock.Monotonic();
    EXPECT_FALSE(usb.LeggiBloccoUSBConAttesa(handle, got));
    EXPECT_GT(clock.Timer(), 4.0);
    EXPECT_LT(clock.Timer(), 4.2);
    EXPECT_GT(clock.Monotonic() - start, 4.1);
}

TEST_F(MidnightRead, AByteArrivingTwoSecondsAfterMidnightStillCompletesTheRead)
{
    const FT_HANDLE handle = Open();
    bridge.InjectReceived(device, Bytes{1});
    bridge.InjectReceived(device, Bytes{2}, 0.2 + 2.0);
    std::array<std::uint8_t, 2> got{};
    EXPECT_TRUE(usb.LeggiBloccoUSBConAttesa(handle, got));
    EXPECT_EQ(got[1], 2);
}

TEST_F(Channel, APlainReadIsOneDriverReadThatMustBringEverything)
{
    const FT_HANDLE handle = Open();
    bridge.InjectReceived(device, Bytes{1, 2});
    std::array<std::uint8_t, 3> got{};
    EXPECT_FALSE(usb.LeggiBloccoUSB(handle, got));
    EXPECT_EQ(bridge.Calls(BridgeCall::Read), 1u);
}

TEST_F(Channel, WritesReachTheInstrumentAsTheyAre)
{
    const FT_HANDLE handle = Open();
    std::vector<Bytes> received;
    bridge.AttachPeer(device, [&received](std::span<const std::uint8_t> bytes) {
        received.emplace_back(bytes.begin(), bytes.end());
        return std::vector<Bytes>{};
    });
    EXPECT_TRUE(usb.ScriviBloccoUSB(handle, Bytes{0x02, 0x04, 0x06}));
    EXPECT_TRUE(usb.ScriviByteUSB(handle, 0x00));
    EXPECT_EQ(received, (std::vector<Bytes>{{0x02, 0x04, 0x06}, {0x00}}));

    bridge.Fail(BridgeCall::Write, FT_IO_ERROR);
    EXPECT_FALSE(usb.ScriviBloccoUSB(handle, Bytes{0x02, 0x04, 0x06}));
    EXPECT_FALSE(usb.ScriviByteUSB(handle + 1, 0x00));
    EXPECT_EQ(received.size(), 2u);
}

TEST_F(Channel, DiscardingStaleInputTakesWhatHasArrivedOnly)
{
    const FT_HANDLE handle = Open();
    bridge.InjectReceived(device, Bytes{1, 2, 3, 4, 5});
    bridge.InjectReceived(device, Bytes{6, 7, 8}, 1.0);  // still on its way
    EXPECT_EQ(usb.ByteInAttesaUSB(handle), 5u);
    EXPECT_TRUE(usb.SvuotaRicezioneUSB(handle));
    EXPECT_EQ(usb.ByteInAttesaUSB(handle), 0u);
    EXPECT_EQ(bridge.Queued(device), 3u);
    EXPECT_EQ(clock.Monotonic(), 0.0) << "nothing waited for";
}

TEST_F(Channel, DiscardingStopsAtTheFirstFailedReadAndStillSucceeds)
{
    const FT_HANDLE handle = Open();
    bridge.InjectReceived(device, Bytes{1, 2, 3, 4, 5});
    bridge.Fail(BridgeCall::Read, FT_IO_ERROR, 1, 2);
    EXPECT_TRUE(usb.SvuotaRicezioneUSB(handle));
    EXPECT_EQ(bridge.Queued(device), 3u);

    bridge.Fail(BridgeCall::GetQueueStatus, FT_IO_ERROR);
    EXPECT_EQ(usb.ByteInAttesaUSB(handle), 0u);
    bridge.Fail(BridgeCall::GetQueueStatus, FT_IO_ERROR);
    EXPECT_TRUE(usb.SvuotaRicezioneUSB(handle));
    EXPECT_EQ(bridge.Queued(device), 3u);
}

TEST_F(Channel, ASuccessfulResetKeepsTheHandleAndTheBaudRate)
{
    FT_HANDLE handle = Open();
    ASSERT_TRUE(usb.ImpostaBaudRate(handle, 1250000));
    const FT_HANDLE before = handle;
    EXPECT_TRUE(usb.ReimpostaDispositivoUSB(handle, "MR400012", 115200));
    EXPECT_EQ(handle, before);
    EXPECT_EQ(bridge.Settings(device).baud, 1250000u);
    EXPECT_EQ(bridge.Calls(BridgeCall::Close), 0u);
    EXPECT_EQ(bridge.Calls(BridgeCall::OpenEx), 1u);
}

TEST_F(Channel, AFailedResetReopensTheBridgeAtTheCallersBaudRate)
{
    FT_HANDLE handle = Open();
    ASSERT_TRUE(usb.ImpostaBaudRate(handle, 1250000));
    const FT_HANDLE before = handle;
    bridge.Fail(BridgeCall::ResetDevice, FT_IO_ERROR);
    EXPECT_TRUE(usb.ReimpostaDispositivoUSB(handle, "MR400012", 115200));
    EXPECT_NE(handle, before);
    EXPECT_EQ(handle, bridge.HandleOf(device));
    EXPECT_EQ(bridge.Settings(device).baud, 115200u);
    EXPECT_EQ(bridge.Settings(device).latencyMs, 1) << "reopened bridges are configured again";
}

TEST_F(Channel, AFailedResetAndReopenGiveFalseAndNoHandle)
{
    FT_HANDLE handle = Open();
    bridge.Fail(BridgeCall::ResetDevice, FT_IO_ERROR);
    bridge.Fail(BridgeCall::OpenEx, FT_DEVICE_NOT_FOUND);
    EXPECT_FALSE(usb.ReimpostaDispositivoUSB(handle, "MR400012", 115200));
    EXPECT_EQ(handle, 0u);

    handle = Open();
    bridge.Fail(BridgeCall::ResetDevice, FT_IO_ERROR);
    bridge.Fail(BridgeCall::SetBaudRate, FT_IO_ERROR);
    EXPECT_FALSE(usb.ReimpostaDispositivoUSB(handle, "MR400012", 115200));
}

TEST_F(Channel, ClosingAlwaysForgetsTheHandle)
{
    FT_HANDLE handle = Open();
    EXPECT_TRUE(usb.ChiudiDispositivoUSB(handle));
    EXPECT_EQ(handle, 0u);
    EXPECT_FALSE(bridge.IsOpen(device));
    handle = 12345;
    EXPECT_FALSE(usb.ChiudiDispositivoUSB(handle));
    EXPECT_EQ(handle, 0u);
}

} // namespace
} // namespace zem
