#include "tests/discovery/SelectionFixture.h"

namespace zem::test {
namespace {

// A bridge this user may not open: the selection (and zemcli list) keeps it, with the driver's
// reason in the info column.
TEST(Selection, ABridgeWithoutPermissionShowsWhyInItsInfo)
{
    const std::string why = "No permission to open the USB device /dev/bus/usb/001/004: install the udev rule, see the README";
    for (const bool usbOnly : {false, true}) {
        SelectionSite f;
        const std::size_t index = f.bus.Add({"MR4A0007", "ZEM MR4 USB", sim::BridgeState::Normal, "", {}});
        f.platform.bridge.Device(index).listStatus = FT_INVALID_HANDLE;
        f.platform.bridge.Device(index).listProblem = why;
        f.Show(false, usbOnly, [&f](FSceltaStrumento& w) {
            f.host.AdvanceTimers(4000);
            w.cmdCancel.UserClick();
        });
        const auto rows = f.Rows();
        const auto found = std::find_if(rows.begin(), rows.end(), [&](const auto& r) { return r.info == why; });
        ASSERT_NE(found, rows.end()) << usbOnly;
        EXPECT_EQ(*found, (SelectionSite::Row{"", "USB: ", why}));
    }
}

} // namespace
} // namespace zem::test
