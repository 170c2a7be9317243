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

TEST(EmulatedChannel, ProgrammingWritesTheToolsIdentityAndGivesTheLinkItsLatencyBack)
{
    // A blank chip is read, then programmed, on one handle; then a programmed one again.
    test::EmulatedBridge s(usbemu::Ft232rEeprom::Blank());
    const struct { std::string open, serial; } steps[] = {{"", "MR400012"}, {"MR400012", "MR400013"}};
    for (const auto& step : steps) {
        FT_HANDLE h = s.usb.ApriDispositivoUSB(step.open);
        ASSERT_NE(h, 0u);
        s.usb.ImpostaDatiEEPROM("LINE 3", step.serial);
        EXPECT_TRUE(s.usb.ScriviEEPROM(h));
        EXPECT_EQ(s.bus.Chip(s.index).LatencyMs(), 1);
        EXPECT_TRUE(s.usb.ChiudiDispositivoUSB(h));
        s.bus.Replug(s.index);
        const auto id = s.bus.Chip(s.index).Presented();
        EXPECT_EQ(std::tie(id.vendorId, id.productId, id.manufacturer, id.description, id.serial),
                  std::make_tuple(0x0403, 0x6001, std::string("ZEM AUTOMATION"), std::string("LINE 3"), step.serial));
    }
}

TEST(EmulatedChannel, TheNextListingFindsABridgePluggedInAfterTheFirst)
{
    test::EmulatedBridge s(test::EmulatedBridge::Programmed("ZEM Automation", "MR400012"));
    ASSERT_EQ(s.usb.ElencaDispositiviUSB(""), 1);
    s.bus.Add(test::EmulatedBridge::Programmed("LINE 2", "MR400002"));
    ASSERT_EQ(s.usb.ElencaDispositiviUSB(""), 2);
    const std::set<std::string> serials{s.usb.SerialeDispositivo(1), s.usb.SerialeDispositivo(2)};
    EXPECT_EQ(serials, (std::set<std::string>{"MR400002", "MR400012"}));
}

} // namespace
} // namespace zem
