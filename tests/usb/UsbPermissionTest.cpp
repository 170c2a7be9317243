#ifdef ZEM_HAVE_LIBFTDI

#include "link/usb/LibFtdiD2xx.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace zem {
namespace {

// A bridge the backend cannot open to read its serial number: the device node's refusal decides
// what the technician reads. Injected, since the tests may run as root and with no bridge.
TEST(UsbPermission, OnlyARefusedNodeIsReportedAsAPermissionProblem)
{
    const struct {
        int refusal;
        const char* expected;
    } cases[] = {
        {EACCES, "No permission to open the USB device /dev/bus/usb/001/004: install the udev rule, see the README"},
        {EPERM, "No permission to open the USB device /dev/bus/usb/001/004: install the udev rule, see the README"},
        {0, ""},       // open to this user: held by another program instead
        {ENOENT, ""},  // unplugged meanwhile
    };
    for (const auto& c : cases) {
        std::string asked;
        LibFtdiD2xx driver([&](const std::string& node) {
            asked = node;
            return c.refusal;
        });
        EXPECT_EQ(driver.UnreadableBridgeProblem(1, 4), c.expected) << c.refusal;
        EXPECT_EQ(asked, "/dev/bus/usb/001/004");
    }
}

} // namespace
} // namespace zem

#endif
