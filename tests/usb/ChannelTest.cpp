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
    expected.xon = expected.xoff = 0;
    expected.inTransferSize = expected.outTransferSize = 4096;
    expected.latencyMs = 1;
    expected.readTimeoutMs = 100;
    expected.writeTimeoutMs = 1000;
    expected.resetPipeRetryCount = 0xFFFFFF;
    EXPECT_EQ(bridge.Settings(device), expected);
    EXPECT_EQ(bridge.Calls(BridgeCall::SetBaudRate), 0u);
    EXPECT_TRUE(usb.ImpostaBaudRate(handle, 1250000));
    EXPECT_EQ(bridge.Settings(device).baud, 1250000u);

    const std::size_t blank = bridge.AddDevice({"", FT_DEVICE_232R, std::nullopt});
    const FT_HANDLE unnamed = usb.ApriDispositivoUSB("");  // no serial number: the empty text
    EXPECT_EQ(unnamed, bridge.HandleOf(blank));
    EXPECT_EQ(usb.ApriDispositivoUSB("MR499999"), 0u);
}

constexpr std::array kOpenOrder = {BridgeCall::OpenEx, BridgeCall::SetDataCharacteristics,
                                   BridgeCall::SetFlowControl, BridgeCall::SetUSBParameters,
                                   BridgeCall::SetLatencyTimer, BridgeCall::SetTimeouts,
                                   BridgeCall::SetResetPipeRetryCount};

class OpenFaults : public Channel, public ::testing::WithParamInterface<BridgeCall> {};

TEST_P(OpenFaults, StopAtTheFirstFailingCallAndLeaveTheBridgeClosed)
{
    bridge.Fail(GetParam(), FT_IO_ERROR);
    EXPECT_EQ(usb.ApriDispositivoUSB("MR400012"), 0u);
    const auto failing = std::find(kOpenOrder.begin(), kOpenOrder.end(), GetParam());
    for (auto call = kOpenOrder.begin(); call != kOpenOrder.end(); ++call) {
        EXPECT_EQ(bridge.Calls(*call), call <= failing ? 1u : 0u) << static_cast<int>(*call);
    }
    EXPECT_FALSE(bridge.IsOpen(device));
    EXPECT_NE(usb.ApriDispositivoUSB("MR400012"), 0u) << "the bridge must be free for the next try";
}

INSTANTIATE_TEST_SUITE_P(Guasti, OpenFaults, ::testing::ValuesIn(kOpenOrder));

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
    EXPECT_EQ(usb.LeggiBloccoUSBConAttesa(handle, got), GetParam().complete);
    const double took = clock.Monotonic();
    if (GetParam().complete) {
        EXPECT_EQ(Bytes(got.begin(), got.end()), sent);
        EXPECT_NEAR(took, kFirstRead + GetParam().restAfter, 1e-9);
    } else {
        EXPECT_EQ(Bytes(got.begin(), got.begin() + 2), (Bytes{1, 2}));
        // Past 0.7 s of waiting, plus at most the one read time-out in progress.
        EXPECT_GT(took, kFirstRead + 0.7 - 1e-6);
        EXPECT_LE(took, kFirstRead + 0.8 + 1e-9);
    }
}

INSTANTIATE_TEST_SUITE_P(Attese, ReadWithTimeout,
                         ::testing::Values(WaitCase{"rest_within_the_first_read", 0.0, true},
                                           WaitCase{"rest_at_0_69_s", 0.69, true},
                                           WaitCase{"rest_at_0_85_s", 0.85, false}, WaitCase{"rest_never", -1.0, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Channel, ReadsThatNeedNoWaitOrCannotGoOn)
{
    const FT_HANDLE handle = Open();
    std::array<std::uint8_t, 3> got{};
    bridge.InjectReceived(device, Bytes{9, 8, 7});
    EXPECT_TRUE(usb.LeggiBloccoUSBConAttesa(handle, got));  // everything there: one read, no wait
    EXPECT_EQ(clock.Monotonic(), 0.0);
    EXPECT_EQ(bridge.Calls(BridgeCall::Read), 1u);

    bridge.Fail(BridgeCall::Read, FT_IO_ERROR);  // a driver error ends the read at once
    EXPECT_FALSE(usb.LeggiBloccoUSBConAttesa(handle, got));
    bridge.Fail(BridgeCall::Read, FT_IO_ERROR, 1, 2);  // the third read
    EXPECT_FALSE(usb.LeggiBloccoUSBConAttesa(handle, got));
    EXPECT_EQ(bridge.Calls(BridgeCall::Read), 1u + 1u + 3u);

    bridge.InjectReceived(device, Bytes{1, 2});  // a plain read is one driver read that must bring all
    EXPECT_FALSE(usb.LeggiBloccoUSB(handle, got));
    EXPECT_EQ(bridge.Calls(BridgeCall::Read), 1u + 1u + 3u + 1u);
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
    EXPECT_FALSE(usb.LeggiBloccoUSBConAttesa(handle, got));
    EXPECT_GT(clock.Timer(), 4.0);
    EXPECT_LT(clock.Timer(), 4.2);
    EXPECT_GT(clock.Monotonic(), 4.1);
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

TEST_F(Channel, DiscardingStaleInputTakesWhatHasArrivedOnlyAndNeverFails)
{
    const FT_HANDLE handle = Open();
    bridge.InjectReceived(device, Bytes{1, 2, 3, 4, 5});
    bridge.InjectReceived(device, Bytes{6, 7, 8}, 1.0);  // still on its way
    EXPECT_EQ(usb.ByteInAttesaUSB(handle), 5u);
    EXPECT_TRUE(usb.SvuotaRicezioneUSB(handle));
    EXPECT_EQ(usb.ByteInAttesaUSB(handle), 0u);
    EXPECT_EQ(clock.Monotonic(), 0.0) << "nothing waited for";

    clock.Advance(1.0);
    bridge.InjectReceived(device, Bytes{1, 2});
    bridge.Fail(BridgeCall::Read, FT_IO_ERROR, 1, 2);  // stops at the first failed read
    EXPECT_TRUE(usb.SvuotaRicezioneUSB(handle));
    EXPECT_EQ(bridge.Queued(device), 3u);
    bridge.Fail(BridgeCall::GetQueueStatus, FT_IO_ERROR);
    EXPECT_EQ(usb.ByteInAttesaUSB(handle), 0u);
    bridge.Fail(BridgeCall::GetQueueStatus, FT_IO_ERROR);
    EXPECT_TRUE(usb.SvuotaRicezioneUSB(handle));
    EXPECT_EQ(bridge.Queued(device), 3u);
}

// A reset keeps the handle and the baud rate set; a failed one reopens the bridge at the caller's.
enum class Handle { Same, New, None, Any };

struct ResetCase {
    const char* name;
    std::vector<std::pair<BridgeCall, FT_STATUS>> faults;
    bool ok;
    Handle handle;
    std::uint32_t baud;
};

class Reset : public Channel, public ::testing::WithParamInterface<ResetCase> {};

TEST_P(Reset, KeepsOrReopensTheBridge)
{
    FT_HANDLE handle = Open();
    ASSERT_TRUE(usb.ImpostaBaudRate(handle, 1250000));
    const FT_HANDLE before = handle;
    for (const auto& [call, status] : GetParam().faults) bridge.Fail(call, status);
    EXPECT_EQ(usb.ReimpostaDispositivoUSB(handle, "MR400012", 115200), GetParam().ok);
    if (GetParam().handle == Handle::None) {
        EXPECT_EQ(handle, 0u);
    }
    if (!GetParam().ok) return;
    EXPECT_EQ(handle == before, GetParam().handle == Handle::Same);
    EXPECT_EQ(handle, bridge.HandleOf(device));
    EXPECT_EQ(bridge.Settings(device).baud, GetParam().baud);
    EXPECT_EQ(bridge.Settings(device).latencyMs, 1) << "reopened bridges are configured again";
    EXPECT_EQ(bridge.Calls(BridgeCall::OpenEx), GetParam().handle == Handle::Same ? 1u : 2u);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, Reset,
    ::testing::Values(ResetCase{"reset_works", {}, true, Handle::Same, 1250000},
                      ResetCase{"reset_fails", {{BridgeCall::ResetDevice, FT_IO_ERROR}}, true, Handle::New, 115200},
                      ResetCase{"reopen_fails", {{BridgeCall::ResetDevice, FT_IO_ERROR}, {BridgeCall::OpenEx, FT_DEVICE_NOT_FOUND}}, false, Handle::None, 0},
                      ResetCase{"baud_rate_fails", {{BridgeCall::ResetDevice, FT_IO_ERROR}, {BridgeCall::SetBaudRate, FT_IO_ERROR}}, false, Handle::Any, 0}),
    [](const auto& info) { return std::string(info.param.name); });

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
