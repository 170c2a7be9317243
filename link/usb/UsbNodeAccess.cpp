#include "link/usb/UsbNodeAccess.h"

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace zem {

int SystemUsbNodeAccess(const std::string& node)
{
    return ::access(node.c_str(), R_OK | W_OK) == 0 ? 0 : errno;
}

std::string UsbDeviceNode(int bus, int address)
{
    char node[32];
    std::snprintf(node, sizeof node, "/dev/bus/usb/%03d/%03d", bus, address);
    return node;
}

std::string UsbPermissionProblem(const std::string& node, const UsbNodeAccess& access)
{
    const int refused = access(node);
    if (refused != EACCES && refused != EPERM) return "";
    return "No permission to open the USB device " + node + ": install the udev rule, see the README";
}

} // namespace zem
