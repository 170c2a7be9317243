#pragma once

#include "usbemu/Ft232rChip.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

typedef struct _UMockdevIoctlBase UMockdevIoctlBase;
typedef struct _UMockdevIoctlClient UMockdevIoctlClient;
typedef struct _UMockdevIoctlData UMockdevIoctlData;

namespace zem::usbemu {

// The kernel's usbdevfs for one emulated device node: the ioctls libusb makes, answered from the
// chip. URBs are kept per client (one per open of the node), as the kernel keeps them per file.
// A bulk IN URB stays pending until the chip has a packet for it; a discard completes the URB
// instead when one is due, as the kernel does. After an unplug every pending URB completes with
// -ESHUTDOWN and every further ioctl fails with ENODEV.
class UsbdevfsDevice {
public:
    // `unplug` pulls the device out of the testbed; called from the emulator's thread.
    UsbdevfsDevice(Ft232rChip& chip, unsigned devnum, std::function<void()> unplug);
    ~UsbdevfsDevice();
    UsbdevfsDevice(const UsbdevfsDevice&) = delete;
    UsbdevfsDevice& operator=(const UsbdevfsDevice&) = delete;

    UMockdevIoctlBase* Handler() const { return handler_; }
    void Unplugged();

private:
    struct Urb {
        UMockdevIoctlData* urb = nullptr;     // the client's struct usbdevfs_urb
        UMockdevIoctlData* buffer = nullptr;  // and its data buffer
        unsigned long address = 0;            // where the client keeps the struct
        std::uint8_t type = 0;
        std::uint8_t endpoint = 0;
        int status = 0;
        std::vector<std::uint8_t> in;         // what an IN transfer returns
    };
    struct Client {
        std::deque<Urb> pending;
        std::deque<Urb> done;
    };

    static int OnIoctl(UMockdevIoctlBase* handler, UMockdevIoctlClient* client, void* self);
    static void OnVanished(UMockdevIoctlBase* handler, UMockdevIoctlClient* client, void* self);
    // The ioctl's result: 0 or more, or minus an errno.
    long Ioctl(UMockdevIoctlClient* client, unsigned long request, UMockdevIoctlData* arg);
    long Submit(UMockdevIoctlClient* client, UMockdevIoctlData* arg);
    long Reap(UMockdevIoctlClient* client, UMockdevIoctlData* arg);
    long Discard(UMockdevIoctlClient* client, UMockdevIoctlData* arg);
    long Claim(UMockdevIoctlClient* client, bool disconnectDriver);
    long DriverIoctl(UMockdevIoctlData* arg);
    // Moves the pending URBs that are due now to the done list.
    void Progress(Client& client);
    bool Due(Urb& urb);
    void Release(Urb& urb);

    Ft232rChip& chip_;
    unsigned devnum_;
    std::function<void()> unplug_;
    UMockdevIoctlBase* handler_;
    std::mutex mutex_;
    std::map<UMockdevIoctlClient*, Client> clients_;
    std::vector<Urb> reaped_;  // released once the reaping ioctl has completed
    UMockdevIoctlClient* claimedBy_ = nullptr;
    bool kernelDriverBound_ = true;  // ftdi_sio takes a bridge when it is plugged in
    bool unplugged_ = false;
};

} // namespace zem::usbemu
