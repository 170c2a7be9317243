#include "tests/usbemu/EmulatedBridge.h"

#include <gtest/gtest.h>

#include <numeric>
#include <set>
#include <vector>

namespace zem {
namespace {

const bool preloaded = (usbemu::RestartUnderUmockdevPreload(), true);

TEST(EmulatedChannel, OpensAtTheLinkRateAndLosesNoByteAcrossALateStatusPacket)
{
    test::EmulatedBridge s(test::EmulatedBridge::Programmed("ZEM Automation", "MR400012"));
    const std::size_t bridge = s.index;
    s.bus.Chip(bridge).SetPeer([](std::span<const std::uint8_t> bytes) { return std::vector<std::uint8_t>(bytes.begin(), bytes.end()); });
    ASSERT_EQ(s.usb.ElencaDispositiviUSB(""), 1);
    EXPECT_EQ(s.usb.SerialeDispositivo(1), "MR400012");
    EXPECT_EQ(s.usb.DescrizioneDispositivo(1), "ZEM Automation");

    FT_HANDLE h = s.usb.ApriDispositivoUSB("MR400012");
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(s.usb.ImpostaBaudRate(h, 1250000));
    EXPECT_NEAR(s.bus.Chip(bridge).Baud(), 1250000, 1250000 * 0.03);  // the nearest divisor
    EXPECT_EQ(s.bus.Chip(bridge).LatencyMs(), 1);

    // 80 bytes come back as a full packet and a short one; then the chip stays silent a while.
    s.bus.Chip(bridge).SetFaults({.lateStatus = std::chrono::milliseconds(300)});
    std::vector<std::uint8_t> sent(80), back(80);
    std::iota(sent.begin(), sent.end(), 1);
    ASSERT_TRUE(s.usb.ScriviBloccoUSB(h, sent));
    EXPECT_TRUE(s.usb.LeggiBloccoUSBConAttesa(h, back));
    EXPECT_EQ(back, sent);
    EXPECT_TRUE(s.usb.ChiudiDispositivoUSB(h));
}

TEST(EmulatedChannel, TheNextListingFindsABridgePluggedInAfterTheFirst)
{
    test::EmulatedBridge s(test::EmulatedBridge::Programmed("ZEM Automation", "MR400012"));
    ASSERT_EQ(s.usb.ElencaDispositiviUSB(""), 1);
    s.bus.Add(test::EmulatedBridge::Programmed("LINE 2", "MR400002"));
    ASSERT_EQ(s.usb.ElencaDispositiviUSB(""), 2);
    EXPECT_EQ((std::set<std::string>{s.usb.SerialeDispositivo(1), s.usb.SerialeDispositivo(2)}),
              (std::set<std::string>{"MR400002", "MR400012"}));
}

} // namespace
} // namespace zem
