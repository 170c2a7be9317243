#include "tests/discovery/SelectionFixture.h"

namespace zem::test {
namespace {

using Table = std::vector<SelectionSite::Row>;

// A bridge this user may not open stays listed, with the driver's reason as its info.
const std::string kNoPermission =
    "No permission to open the USB device /dev/bus/usb/001/004: install the udev rule, see the README";

void AddRefusedBridge(SelectionSite& f)
{
    auto& device = f.platform.bridge.Device(f.bus.Add({"MR4A0007", "ZEM MR4 USB", sim::BridgeState::Normal, "", {}}));
    device.listStatus = FT_INVALID_HANDLE;
    device.listProblem = kNoPermission;
}

TEST(Selection, ListsBridgesAndModulesWithTheInstrumentsBehindThem)
{
    SelectionSite f;
    AddRefusedBridge(f);
    const auto key = f.Show(false, false, [&f](FSceltaStrumento& w) {
        EXPECT_TRUE(w.imgHourglass.Visible());
        // While the search runs, a double click chooses nothing.
        w.ListView1.UserClickItem(0);
        w.ListView1.UserDoubleClick();
        EXPECT_TRUE(w.Loaded());
        f.host.AdvanceTimers(4000);
        EXPECT_EQ(w.Passo(), 0);
        EXPECT_FALSE(w.imgHourglass.Visible());
        w.ListView1.UserClickItem(4);
        w.ListView1.UserDoubleClick();
    });
    EXPECT_EQ(f.Rows(), (Table{
        {"PRESS 2 (FORCE & Measure 2)", "USB: MR4A0001", "Protocol: 14-11"},
        {"[ZEM MR4 USB]", "USB: MR4A0002", "Update mode"},
        {"[ZEM MR4 USB]", "USB: mr4a0003", "Memory error"},
        {"", "USB: ", kNoPermission},
        {"ZEM SIMULATOR (PRESS FIT & HEIGHT)", "IP:127.0.0.2:7001", "Protocol: 14-11"},
        {"ZEM SIMULATOR (PRESS FIT & HEIGHT)", "IP:127.0.0.3:7002", "Protocol: 14-11"},
    }));
    EXPECT_EQ(key, "IP:127.0.0.2:7001");
    EXPECT_EQ(f.modules.Received(), (std::vector<std::string>{"X", "W00-20-4A-00-00-01", "L", "GIP", "O",
                                                            "W00-20-4A-00-00-02", "L", "GIP", "O"}));
    for (std::size_t i = 0; i < 6; ++i) EXPECT_FALSE(f.platform.bridge.IsOpen(i)) << i;
}

TEST(Selection, NetworkOnlyKeepsTheMacKeyAndUsbOnlyListsEveryBridge)
{
    SelectionSite f;
    const auto mac = f.Show(true, false, [&f](FSceltaStrumento& w) {
        f.host.AdvanceTimers(4000);
        w.ListView1.UserClickItem(1);
        w.cmdOK.UserClick();
    });
    EXPECT_EQ(f.Rows(), (Table{{"[ZEMA-1]", "MAC: 00-20-4A-00-00-01", "IP:127.0.0.2:7001"},
                            {"[ZEMA-2]", "MAC: 00-20-4A-00-00-02", "IP:127.0.0.3:7002"}}));
    EXPECT_EQ(mac, "MAC: 00-20-4A-00-00-02");

    const std::size_t sent = f.Sent();
    AddRefusedBridge(f);
    f.bus.Add({"MR4A0009", "ZEM MR4 USB", sim::BridgeState::Silent, "", {}});
    const auto usb = f.Show(false, true, [](FSceltaStrumento& w) {
        EXPECT_TRUE(w.cmdOK.Enabled());
        EXPECT_FALSE(w.imgHourglass.Visible());
        w.cmdOK.UserClick();  // nothing selected: nothing happens
        w.ListView1.UserClickItem(2);
        w.cmdOK.UserClick();
    });
    ASSERT_EQ(f.Rows().size(), 7u);
    EXPECT_EQ(f.Rows()[4], (SelectionSite::Row{"[EEPROM Empty]", "USB: ", "Communication error"}));
    EXPECT_EQ(f.Rows()[5], (SelectionSite::Row{"", "USB: ", kNoPermission}));
    EXPECT_EQ(f.Rows()[6], (SelectionSite::Row{"[ZEM MR4 USB]", "USB: MR4A0009", "Communication error"}));
    EXPECT_EQ(usb, "USB: FT1234");
    EXPECT_EQ(f.Sent(), sent);
}

} // namespace
} // namespace zem::test
