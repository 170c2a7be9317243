#pragma once

#include <functional>
#include <string>

namespace zem {

// Whether this user may open a USB device node for reading and writing: 0, or the errno of the
// refusal. Injectable, since the tests run as any user (root in CI) and without a bridge.
using UsbNodeAccess = std::function<int(const std::string& node)>;

int SystemUsbNodeAccess(const std::string& node);

// The device node of the USB device at `bus` and `address`, as udev makes it.
std::string UsbDeviceNode(int bus, int address);

// "No permission to open the USB device NODE: install the udev rule, see the README" when `access`
// refuses the node for lack of permission; "" otherwise (then it is not a matter of permission).
std::string UsbPermissionProblem(const std::string& node, const UsbNodeAccess& access);

} // namespace zem
