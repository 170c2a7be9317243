// GestioneUSB's byte channel over a simulated bridge: opening and configuring it, and resets. The
// reads' 0.7 s wait is pinned by the link's USB frame tests.
#include "UsbFixture.h"

#include <algorithm>
#include <array>

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
    for (auto call = kOpenOrder.begin(); call != kOpenOrder.end(); ++call)
        EXPECT_EQ(bridge.Calls(*call), call <= failing ? 1u : 0u) << static_cast<int>(*call);
    EXPECT_FALSE(bridge.IsOpen(device));
    EXPECT_NE(usb.ApriDispositivoUSB("MR400012"), 0u) << "the bridge must be free for the next try";
}

INSTANTIATE_TEST_SUITE_P(Guasti, OpenFaults, ::testing::ValuesIn(kOpenOrder));

// A reset keeps the handle and the baud rate set; a failed one reopens the bridge at the caller's.
struct ResetCase {
    const char* name;
    std::vector<std::pair<BridgeCall, FT_STATUS>> faults;
    bool ok, sameHandle;
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
    if (!GetParam().ok) return;
    EXPECT_EQ(handle == before, GetParam().sameHandle);
    EXPECT_EQ(handle, bridge.HandleOf(device));
    EXPECT_EQ(bridge.Settings(device).baud, GetParam().baud);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, Reset,
    ::testing::Values(ResetCase{"reset_works", {}, true, true, 1250000},
                      ResetCase{"reset_fails", {{BridgeCall::ResetDevice, FT_IO_ERROR}}, true, false, 115200},
                      ResetCase{"reopen_fails", {{BridgeCall::ResetDevice, FT_IO_ERROR}, {BridgeCall::OpenEx, FT_DEVICE_NOT_FOUND}}, false, false, 0},
                      ResetCase{"baud_rate_fails", {{BridgeCall::ResetDevice, FT_IO_ERROR}, {BridgeCall::SetBaudRate, FT_IO_ERROR}}, false, false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace zem
