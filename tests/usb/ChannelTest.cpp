// GestioneUSB's byte channel over a simulated bridge: opening and configuring it, and resets. The
// reads' 0.7 s wait is pinned by the link's USB frame tests.
#include "UsbFixture.h"

#include <array>

namespace zem {
namespace {

using sim::BridgeCall;

struct ChannelSite : UsbFixture {
    std::size_t device = AddProgrammed("ZEM Automation", "MR400012");
};

TEST(Channel, OpeningStopsAtTheFirstFailingCallAndLeavesTheBridgeClosed)
{
    constexpr std::array kOpenOrder = {BridgeCall::OpenEx, BridgeCall::SetDataCharacteristics,
                                       BridgeCall::SetFlowControl, BridgeCall::SetUSBParameters,
                                       BridgeCall::SetLatencyTimer, BridgeCall::SetTimeouts,
                                       BridgeCall::SetResetPipeRetryCount};
    for (auto failing = kOpenOrder.begin(); failing != kOpenOrder.end(); ++failing) {
        ChannelSite s;
        s.bridge.Fail(*failing, FT_IO_ERROR);
        EXPECT_EQ(s.usb.ApriDispositivoUSB("MR400012"), 0u);
        for (auto call = kOpenOrder.begin(); call != kOpenOrder.end(); ++call)
            EXPECT_EQ(s.bridge.Calls(*call), call <= failing ? 1u : 0u) << static_cast<int>(*failing) << static_cast<int>(*call);
        EXPECT_FALSE(s.bridge.IsOpen(s.device));
        EXPECT_NE(s.usb.ApriDispositivoUSB("MR400012"), 0u) << "the bridge must be free for the next try";
    }
}

// A reset keeps the handle and the baud rate set; a failed one reopens the bridge at the caller's.
TEST(Channel, AResetKeepsOrReopensTheBridge)
{
    struct Case {
        const char* name;
        std::vector<std::pair<BridgeCall, FT_STATUS>> faults;
        bool ok, sameHandle;
        std::uint32_t baud;
    };
    const Case cases[] = {
        {"reset works", {}, true, true, 1250000},
        {"reset fails", {{BridgeCall::ResetDevice, FT_IO_ERROR}}, true, false, 115200},
        {"reopen fails", {{BridgeCall::ResetDevice, FT_IO_ERROR}, {BridgeCall::OpenEx, FT_DEVICE_NOT_FOUND}}, false, false, 0},
        {"baud rate fails", {{BridgeCall::ResetDevice, FT_IO_ERROR}, {BridgeCall::SetBaudRate, FT_IO_ERROR}}, false, false, 0},
    };
    for (const Case& c : cases) {
        ChannelSite s;
        FT_HANDLE handle = s.usb.ApriDispositivoUSB("MR400012");
        ASSERT_TRUE(s.usb.ImpostaBaudRate(handle, 1250000));
        const FT_HANDLE before = handle;
        for (const auto& [call, status] : c.faults) s.bridge.Fail(call, status);
        EXPECT_EQ(s.usb.ReimpostaDispositivoUSB(handle, "MR400012", 115200), c.ok) << c.name;
        if (!c.ok) continue;
        EXPECT_EQ(handle == before, c.sameHandle) << c.name;
        EXPECT_EQ(handle, s.bridge.HandleOf(s.device)) << c.name;
        EXPECT_EQ(s.bridge.Settings(s.device).baud, c.baud) << c.name;
    }
}

} // namespace
} // namespace zem
