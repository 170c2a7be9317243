#pragma once

#include "usbemu/Ft232rChip.h"
#include "usbemu/UsbdevfsDevice.h"

#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

typedef struct _UMockdevTestbed UMockdevTestbed;

namespace zem::usbemu {

// FT232R bridges on the real USB stack of this process and of the programs it starts: a umockdev
// testbed shows each bridge in sysfs and as its device node, and answers the node's usbdevfs
// ioctls from the emulated chip. The process must run under the umockdev preload (see Preload.h).
class EmulatedBus {
public:
    EmulatedBus();
    ~EmulatedBus();
    EmulatedBus(const EmulatedBus&) = delete;
    EmulatedBus& operator=(const EmulatedBus&) = delete;

    // Plugs in a bridge with this EEPROM; answers its index.
    std::size_t Add(const Ft232rEeprom& eeprom);
    Ft232rChip& Chip(std::size_t index);
    // The device node, such as /dev/bus/usb/001/002.
    std::string Node(std::size_t index) const;

    // Pulls the bridge out: gone from sysfs and /dev, its pending transfers fail.
    void Unplug(std::size_t index);
    // Plugs it in again; the chip reads its EEPROM afresh.
    void Replug(std::size_t index);
    bool Plugged(std::size_t index) const;

private:
    struct Slot {
        std::unique_ptr<Ft232rChip> chip;
        UsbdevfsDevice* usbdevfs = nullptr;  // the node of the present plug-in
        unsigned devnum = 0;
        std::string syspath;
    };

    void Attach(std::size_t index);
    void Detach(Slot& slot);

    UMockdevTestbed* testbed_;
    mutable std::recursive_mutex mutex_;
    std::deque<Slot> slots_;
    // Every node ever attached: a program may still hold one whose bridge was pulled out.
    std::vector<std::pair<std::string, std::unique_ptr<UsbdevfsDevice>>> nodes_;
    unsigned nextDevnum_ = 2;  // 1 is the root hub's
};

} // namespace zem::usbemu
