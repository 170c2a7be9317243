#include "usbemu/UsbdevfsDevice.h"

#include <umockdev.h>

#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>

namespace zem::usbemu {

namespace {

constexpr std::size_t kSetupBytes = 8;
constexpr std::uint8_t kEndpointIn = 0x80;
constexpr const char* kKernelDriver = "ftdi_sio";

template <typename T>
T Read(UMockdevIoctlData* data, std::size_t offset = 0)
{
    T value{};
    if (offset + sizeof(T) <= static_cast<std::size_t>(data->data_len)) std::memcpy(&value, data->data + offset, sizeof(T));
    return value;
}

template <typename T>
void Write(UMockdevIoctlData* data, std::size_t offset, const T& value)
{
    if (offset + sizeof(T) <= static_cast<std::size_t>(data->data_len)) std::memcpy(data->data + offset, &value, sizeof(T));
}

// The structure the client's argument points to; nothing when it cannot be read.
UMockdevIoctlData* Pointed(UMockdevIoctlData* arg, std::size_t bytes)
{
    return umockdev_ioctl_data_resolve(arg, 0, bytes, nullptr);
}

} // namespace

UsbdevfsDevice::UsbdevfsDevice(Ft232rChip& chip, unsigned devnum, std::function<void()> unplug)
    : chip_(chip), devnum_(devnum), unplug_(std::move(unplug)), handler_(umockdev_ioctl_base_new())
{
    g_signal_connect(handler_, "handle-ioctl", G_CALLBACK(OnIoctl), this);
    g_signal_connect(handler_, "client-vanished", G_CALLBACK(OnVanished), this);
}

UsbdevfsDevice::~UsbdevfsDevice()
{
    g_signal_handlers_disconnect_by_data(handler_, this);
    for (auto& [client, state] : clients_) {
        for (Urb& urb : state.pending) Release(urb);
        for (Urb& urb : state.done) Release(urb);
    }
    g_object_unref(handler_);
}

int UsbdevfsDevice::OnIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, void* self)
{
    auto* device = static_cast<UsbdevfsDevice*>(self);
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);  // the client keeps it
    const long result = device->Ioctl(client, umockdev_ioctl_client_get_request(client), arg);
    umockdev_ioctl_client_complete(client, result < 0 ? -1 : result, result < 0 ? static_cast<int>(-result) : 0);
    {
        std::lock_guard lock(device->mutex_);
        for (Urb& urb : device->reaped_) device->Release(urb);
        device->reaped_.clear();
    }
    // Pulled out only now, so that the transfer that triggered it has been answered.
    if (device->chip_.UnplugDue()) device->unplug_();
    return TRUE;
}

void UsbdevfsDevice::OnVanished(UMockdevIoctlBase*, UMockdevIoctlClient* client, void* self)
{
    auto* device = static_cast<UsbdevfsDevice*>(self);
    std::lock_guard lock(device->mutex_);
    // A program that ends lets go of what it claimed, and its URBs go with it.
    if (device->claimedBy_ == client) device->claimedBy_ = nullptr;
    const auto found = device->clients_.find(client);
    if (found == device->clients_.end()) return;
    for (Urb& urb : found->second.pending) device->Release(urb);
    for (Urb& urb : found->second.done) device->Release(urb);
    device->clients_.erase(found);
}

void UsbdevfsDevice::Unplugged()
{
    std::lock_guard lock(mutex_);
    unplugged_ = true;
    for (auto& [client, state] : clients_) {
        for (Urb& urb : state.pending) {
            urb.status = -ESHUTDOWN;
            urb.in.clear();
            state.done.push_back(urb);
        }
        state.pending.clear();
    }
}

void UsbdevfsDevice::Release(Urb& urb)
{
    if (urb.buffer) umockdev_ioctl_data_unref(urb.buffer);
    if (urb.urb) umockdev_ioctl_data_unref(urb.urb);
    urb.buffer = urb.urb = nullptr;
}

long UsbdevfsDevice::Ioctl(UMockdevIoctlClient* client, unsigned long request, UMockdevIoctlData* arg)
{
    std::lock_guard lock(mutex_);
    // What is done stays reapable after an unplug; anything else meets a missing device.
    if (unplugged_ && request != USBDEVFS_REAPURB && request != USBDEVFS_REAPURBNDELAY) return -ENODEV;
    switch (request) {
    case USBDEVFS_GET_CAPABILITIES: {
        UMockdevIoctlData* caps = Pointed(arg, sizeof(std::uint32_t));
        if (!caps) return -EFAULT;
        Write<std::uint32_t>(caps, 0, USBDEVFS_CAP_ZERO_PACKET | USBDEVFS_CAP_BULK_CONTINUATION
                                          | USBDEVFS_CAP_NO_PACKET_SIZE_LIM | USBDEVFS_CAP_REAP_AFTER_DISCONNECT
);
        umockdev_ioctl_data_unref(caps);
        return 0;
    }
    case USBDEVFS_CONNECTINFO: {
        UMockdevIoctlData* info = Pointed(arg, sizeof(usbdevfs_connectinfo));
        if (!info) return -EFAULT;
        Write<unsigned>(info, offsetof(usbdevfs_connectinfo, devnum), devnum_);
        Write<unsigned char>(info, offsetof(usbdevfs_connectinfo, slow), 0);
        umockdev_ioctl_data_unref(info);
        return 0;
    }
    case USBDEVFS_CLAIMINTERFACE: return Claim(client, false);
    case USBDEVFS_DISCONNECT_CLAIM: return Claim(client, true);
    case USBDEVFS_RELEASEINTERFACE:
        if (claimedBy_ != client) return -EINVAL;
        claimedBy_ = nullptr;
        return 0;
    case USBDEVFS_GETDRIVER: {
        if (!kernelDriverBound_) return -ENODATA;
        UMockdevIoctlData* driver = Pointed(arg, sizeof(usbdevfs_getdriver));
        if (!driver) return -EFAULT;
        usbdevfs_getdriver answer{};
        answer.interface = Read<unsigned>(driver);
        std::strncpy(answer.driver, kKernelDriver, sizeof answer.driver - 1);
        Write(driver, 0, answer);
        umockdev_ioctl_data_unref(driver);
        return 0;
    }
    case USBDEVFS_IOCTL: return DriverIoctl(arg);
    case USBDEVFS_SETCONFIGURATION:
    case USBDEVFS_SETINTERFACE:
    case USBDEVFS_CLEAR_HALT:
    case USBDEVFS_RESET:
        return 0;
    case USBDEVFS_CONTROL: {
        UMockdevIoctlData* transfer = Pointed(arg, sizeof(usbdevfs_ctrltransfer));
        if (!transfer) return -EFAULT;
        const auto setup = Read<usbdevfs_ctrltransfer>(transfer);
        UMockdevIoctlData* data = setup.wLength
            ? umockdev_ioctl_data_resolve(transfer, offsetof(usbdevfs_ctrltransfer, data), setup.wLength, nullptr)
            : nullptr;
        const std::span<const std::uint8_t> out =
            data ? std::span<const std::uint8_t>(data->data, static_cast<std::size_t>(data->data_len)) : std::span<const std::uint8_t>{};
        const ControlResult r = chip_.Control(setup.bRequestType, setup.bRequest, setup.wValue, setup.wIndex, out,
                                              (setup.bRequestType & kEndpointIn) ? setup.wLength : 0);
        long result = r.stalled ? -EPIPE : static_cast<long>((setup.bRequestType & kEndpointIn) ? r.data.size() : out.size());
        if (data && !r.stalled && (setup.bRequestType & kEndpointIn)) std::copy(r.data.begin(), r.data.end(), data->data);
        if (data) umockdev_ioctl_data_unref(data);
        umockdev_ioctl_data_unref(transfer);
        return result;
    }
    case USBDEVFS_SUBMITURB: return Submit(client, arg);
    case USBDEVFS_REAPURB:
    case USBDEVFS_REAPURBNDELAY:
        return Reap(client, arg);
    case USBDEVFS_DISCARDURB: return Discard(client, arg);
    default: return -ENOTTY;
    }
}

long UsbdevfsDevice::Claim(UMockdevIoctlClient* client, bool disconnectDriver)
{
    // Another program's claim is the one thing that keeps a bridge from us.
    if (claimedBy_ != nullptr && claimedBy_ != client) return -EBUSY;
    if (kernelDriverBound_ && !disconnectDriver) return -EBUSY;
    kernelDriverBound_ = false;
    claimedBy_ = client;
    return 0;
}

long UsbdevfsDevice::DriverIoctl(UMockdevIoctlData* arg)
{
    UMockdevIoctlData* command = Pointed(arg, sizeof(usbdevfs_ioctl));
    if (!command) return -EFAULT;
    const int code = Read<int>(command, offsetof(usbdevfs_ioctl, ioctl_code));
    umockdev_ioctl_data_unref(command);
    if (code == USBDEVFS_DISCONNECT) {
        if (!kernelDriverBound_) return -ENODATA;
        kernelDriverBound_ = false;
        return 0;
    }
    if (code == USBDEVFS_CONNECT) {
        if (claimedBy_ != nullptr) return -EBUSY;
        kernelDriverBound_ = true;
        return 0;
    }
    return -ENOTTY;
}

long UsbdevfsDevice::Submit(UMockdevIoctlClient* client, UMockdevIoctlData* arg)
{
    Urb urb;
    urb.urb = Pointed(arg, sizeof(usbdevfs_urb));
    if (!urb.urb) return -EFAULT;
    urb.address = urb.urb->client_addr;
    urb.type = Read<std::uint8_t>(urb.urb, offsetof(usbdevfs_urb, type));
    urb.endpoint = Read<std::uint8_t>(urb.urb, offsetof(usbdevfs_urb, endpoint));
    const int length = Read<int>(urb.urb, offsetof(usbdevfs_urb, buffer_length));
    if (length < 0) {
        Release(urb);
        return -EINVAL;
    }
    if (length > 0) urb.buffer = umockdev_ioctl_data_resolve(urb.urb, offsetof(usbdevfs_urb, buffer), static_cast<std::size_t>(length), nullptr);
    if (length > 0 && !urb.buffer) {
        Release(urb);
        return -EFAULT;
    }
    const std::span<const std::uint8_t> bytes = urb.buffer
        ? std::span<const std::uint8_t>(urb.buffer->data, static_cast<std::size_t>(urb.buffer->data_len)) : std::span<const std::uint8_t>{};
    Client& state = clients_[client];

    if (urb.type == USBDEVFS_URB_TYPE_CONTROL) {
        if (bytes.size() < kSetupBytes) {
            Release(urb);
            return -EINVAL;
        }
        const auto word = [&](std::size_t at) { return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8)); };
        const bool in = (bytes[0] & kEndpointIn) != 0;
        const ControlResult r = chip_.Control(bytes[0], bytes[1], word(2), word(4), bytes.subspan(kSetupBytes),
                                              in ? std::min<std::size_t>(word(6), bytes.size() - kSetupBytes) : 0);
        urb.status = r.stalled ? -EPIPE : 0;
        urb.in = r.data;
        state.done.push_back(urb);
        return 0;
    }
    if (urb.type != USBDEVFS_URB_TYPE_BULK) {
        Release(urb);
        return -EINVAL;
    }
    if ((urb.endpoint & kEndpointIn) == 0) {
        urb.status = chip_.Send(bytes) ? 0 : -EPIPE;
        state.done.push_back(urb);
        return 0;
    }
    state.pending.push_back(urb);
    return 0;
}

bool UsbdevfsDevice::Due(Urb& urb)
{
    if (chip_.Stalled()) {
        urb.status = -EPIPE;
        return true;
    }
    const std::size_t room = urb.buffer ? static_cast<std::size_t>(urb.buffer->data_len) : 0;
    auto packets = chip_.Receive(room, Ft232rChip::Clock::now());
    if (!packets) return false;
    urb.in = std::move(*packets);
    return true;
}

void UsbdevfsDevice::Progress(Client& client)
{
    // The chip answers the oldest transfer first; a later one cannot overtake it.
    while (!client.pending.empty() && Due(client.pending.front())) {
        client.done.push_back(client.pending.front());
        client.pending.pop_front();
    }
}

long UsbdevfsDevice::Reap(UMockdevIoctlClient* client, UMockdevIoctlData* arg)
{
    Client& state = clients_[client];
    Progress(state);
    if (state.done.empty()) return unplugged_ ? -ENODEV : -EAGAIN;
    UMockdevIoctlData* target = Pointed(arg, sizeof(void*));
    if (!target) return -EFAULT;
    Urb urb = state.done.front();
    state.done.pop_front();
    const bool control = urb.type == USBDEVFS_URB_TYPE_CONTROL;
    const std::size_t offset = control ? kSetupBytes : 0;
    if (urb.buffer && (control ? (urb.buffer->data[0] & kEndpointIn) : (urb.endpoint & kEndpointIn))) {
        const std::size_t n = std::min(urb.in.size(), static_cast<std::size_t>(urb.buffer->data_len) - offset);
        std::copy_n(urb.in.begin(), n, urb.buffer->data + offset);
        Write<int>(urb.urb, offsetof(usbdevfs_urb, actual_length), static_cast<int>(n));
    } else {
        const int sent = urb.buffer ? urb.buffer->data_len - static_cast<int>(offset) : 0;
        Write<int>(urb.urb, offsetof(usbdevfs_urb, actual_length), urb.status == 0 ? sent : 0);
    }
    Write<int>(urb.urb, offsetof(usbdevfs_urb, status), urb.status);
    umockdev_ioctl_data_set_ptr(target, 0, urb.urb);
    umockdev_ioctl_data_unref(target);
    // The client's copy is written when the ioctl completes: the data must live until then.
    reaped_.push_back(urb);
    return 0;
}

long UsbdevfsDevice::Discard(UMockdevIoctlClient* client, UMockdevIoctlData* arg)
{
    const auto address = Read<unsigned long>(arg);
    Client& state = clients_[client];
    const auto found = std::find_if(state.pending.begin(), state.pending.end(),
                                    [address](const Urb& u) { return u.address == address; });
    if (found == state.pending.end()) return -EINVAL;
    Urb urb = *found;
    state.pending.erase(found);
    // A URB whose packets are there completes; the discard then finds nothing left to cancel.
    const bool completed = Due(urb);
    if (!completed) {
        urb.status = -ENOENT;
        urb.in.clear();
    }
    state.done.push_back(urb);
    return completed ? -EINVAL : 0;
}

} // namespace zem::usbemu
