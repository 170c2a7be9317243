#include "link/usb/LibFtdiD2xx.h"

#include <ftdi.h>
#include <libusb.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <climits>
#include <cstring>
#include <utility>

namespace zem {

namespace {

constexpr int kSerialChars = 256;
constexpr int kEepromBytes = 256;  // the most libftdi reads from any chip
constexpr int kPollBytes = 4096;
// A single USB transfer never waits less: the chip answers every latency period anyway.
constexpr std::uint32_t kShortestUsbTimeoutMs = 50;

using EepromBytes = std::array<std::uint8_t, kEepromBytes>;

int ClampToInt(std::uint32_t value)
{
    return static_cast<int>(std::min<std::uint32_t>(value, INT_MAX));
}

// A bridge whose EEPROM is blank has no serial-number string; libftdi reports that as a failure
// of that string, while the driver lists such a bridge with an empty serial number.
FT_STATUS SerialOf(ftdi_context* ftdi, libusb_device* device, std::string& serial)
{
    std::array<char, kSerialChars> text{};
    const int r = ftdi_usb_get_strings(ftdi, device, nullptr, 0, nullptr, 0, text.data(), kSerialChars);
    if (r == 0) {
        serial.assign(text.data(), strnlen(text.data(), text.size()));
        return FT_OK;
    }
    serial.clear();
    if (r == -7 || r == -9) return FT_OK;  // no serial-number string
    if (r == -4) return FT_INVALID_HANDLE;  // cannot be opened to ask: held by another program
    return FT_IO_ERROR;
}

std::uint32_t ChipTypeOf(ftdi_chip_type type)
{
    switch (type) {
    case TYPE_AM: return FT_DEVICE_AM;
    case TYPE_BM: return FT_DEVICE_BM;
    case TYPE_2232C: return FT_DEVICE_2232C;
    case TYPE_R: return FT_DEVICE_232R;
    case TYPE_2232H: return FT_DEVICE_2232H;
    case TYPE_4232H: return FT_DEVICE_4232H;
    case TYPE_232H: return FT_DEVICE_232H;
    case TYPE_230X: return FT_DEVICE_X_SERIES;
    }
    return FT_DEVICE_UNKNOWN;
}

int Value(ftdi_context* ftdi, ftdi_eeprom_value name)
{
    int value = 0;
    ftdi_get_eeprom_value(ftdi, name, &value);
    return value;
}

// libftdi hands its decoded texts out only when all three exist, so they are taken from the image
// itself: bytes 0x0E..0x13 hold offset and length of the manufacturer, product and serial-number
// descriptors, each a USB string descriptor (length, type, then UTF-16LE characters).
std::string DescriptorText(const EepromBytes& image, std::size_t pointer, std::size_t mask)
{
    const std::size_t start = image[pointer] & mask;
    const std::size_t length = image[pointer + 1];
    std::string text;
    for (std::size_t i = 2; i + 1 < length; i += 2) text.push_back(static_cast<char>(image[(start + i) & mask]));
    return text;
}

// The chip's own check of its image: the words before the last folded into a rotating XOR, which
// the last word must equal. libftdi prints a complaint on our stderr for every image that fails it.
bool ChecksumMatches(const EepromBytes& image, std::size_t size)
{
    const auto word = [&image](std::size_t i) { return static_cast<std::uint16_t>(image[2 * i] | (image[2 * i + 1] << 8)); };
    const std::size_t last = std::clamp<std::size_t>(size, 4, kEepromBytes) / 2 - 1;
    std::uint16_t sum = 0xAAAA;
    for (std::size_t i = 0; i < last; ++i) {
        sum ^= word(i);
        sum = static_cast<std::uint16_t>((sum << 1) | (sum >> 15));
    }
    return sum == word(last);
}

// Reads the chip's EEPROM into the context's decoded image and `image`; a blank or invalid one is
// reported as FT_EEPROM_NOT_PROGRAMMED, the context then holding the chip's defaults.
// libftdi 1.5 forgets the texts it holds (a leak) when its defaults are set after a decode or a
// second time, so an image is decoded only once its checksum is known good, and the defaults are
// set once a context (`defaultsSet`); after that the context holds them or what was programmed
// since, whose every field we expose is set again before the next programming.
FT_STATUS LoadEeprom(ftdi_context* ftdi, bool& defaultsSet, EepromBytes& image)
{
    image.fill(0xFF);
    if (ftdi_read_eeprom(ftdi) < 0 || ftdi_get_eeprom_buf(ftdi, image.data(), kEepromBytes) < 0) {
        return FT_EEPROM_READ_FAILED;
    }
    const bool blank = std::all_of(image.begin(), image.end(), [](std::uint8_t b) { return b == 0xFF; });
    // The 230X leaves part of its image out of the sum; libftdi alone knows which.
    const bool plausible = ftdi->type == TYPE_230X || ChecksumMatches(image, static_cast<std::size_t>(Value(ftdi, CHIP_SIZE)));
    if (!blank && plausible && ftdi_eeprom_decode(ftdi, 0) == 0) return FT_OK;
    if (!defaultsSet) {
        char none[] = "";
        if (ftdi_eeprom_initdefaults(ftdi, none, none, none) < 0) return FT_EEPROM_READ_FAILED;
        defaultsSet = true;
    }
    return FT_EEPROM_NOT_PROGRAMMED;
}

} // namespace

void LibFtdiD2xx::FtdiFree::operator()(ftdi_context* ftdi) const { ftdi_free(ftdi); }

LibFtdiD2xx::LibFtdiD2xx(UsbNodeAccess access) : access_(std::move(access)) {}

std::string LibFtdiD2xx::UnreadableBridgeProblem(int bus, int address) const
{
    return UsbPermissionProblem(UsbDeviceNode(bus, address), access_);
}

std::string LibFtdiD2xx::ListingProblem(std::uint32_t index) const
{
    if (const auto found = listingProblems_.find(index); found != listingProblems_.end()) return found->second;
    const auto serial = listedSerials_.find(index);
    if (serial == listedSerials_.end()) return "";
    const auto problem = openProblems_.find(serial->second);
    return problem == openProblems_.end() ? "" : problem->second;
}

LibFtdiD2xx::~LibFtdiD2xx()
{
    for (auto& [handle, bridge] : bridges_) ftdi_usb_close(bridge.ftdi.get());
}

LibFtdiD2xx::Bridge* LibFtdiD2xx::Find(FT_HANDLE handle)
{
    const auto found = bridges_.find(handle);
    return found == bridges_.end() ? nullptr : &found->second;
}

FT_STATUS LibFtdiD2xx::FT_ListDevices(std::uint32_t& indexOrNumber, std::span<char> buffer, std::uint32_t flags)
{
    const bool byIndex = (flags & FT_LIST_BY_INDEX) != 0 && (flags & ~(FT_LIST_BY_INDEX | FT_OPEN_BY_SERIAL_NUMBER)) == 0;
    if (flags != FT_LIST_NUMBER_ONLY && !byIndex) return FT_INVALID_PARAMETER;
    // A libusb context sees the bridges present when it started, and one that failed to start
    // stays failed: each listing starts with a fresh one.
    if (!byIndex) lister_.reset(ftdi_new());
    if (!lister_) return FT_INSUFFICIENT_RESOURCES;
    ftdi_device_list* list = nullptr;
    const int found = ftdi_usb_find_all(lister_.get(), &list, 0, 0);
    if (found < 0) return FT_IO_ERROR;

    FT_STATUS status = FT_OK;
    if (!byIndex) {
        listingProblems_.clear();
        listedSerials_.clear();
        openProblems_.clear();
        indexOrNumber = static_cast<std::uint32_t>(found);
    } else {
        ftdi_device_list* entry = list;
        for (std::uint32_t i = 0; entry != nullptr && i < indexOrNumber; ++i) entry = entry->next;
        std::string serial;
        if (entry == nullptr) {
            status = FT_DEVICE_NOT_FOUND;
        } else if (status = SerialOf(lister_.get(), entry->dev, serial); status == FT_OK) {
            if (!CopyToListBuffer(serial, buffer)) status = FT_INVALID_PARAMETER;
            listedSerials_[indexOrNumber] = serial;
        } else if (status == FT_INVALID_HANDLE) {
            listingProblems_[indexOrNumber] =
                UnreadableBridgeProblem(libusb_get_bus_number(entry->dev), libusb_get_device_address(entry->dev));
        }
    }
    ftdi_list_free(&list);
    return status;
}

FT_STATUS LibFtdiD2xx::FT_OpenEx(const std::string& serial, std::uint32_t flags, FT_HANDLE& handle)
{
    handle = 0;
    if (flags != FT_OPEN_BY_SERIAL_NUMBER) return FT_INVALID_PARAMETER;
    Context ftdi(ftdi_new());
    if (!ftdi) return FT_INSUFFICIENT_RESOURCES;
    ftdi_device_list* list = nullptr;
    if (ftdi_usb_find_all(ftdi.get(), &list, 0, 0) < 0) return FT_IO_ERROR;
    FT_STATUS status = FT_DEVICE_NOT_FOUND;
    for (ftdi_device_list* entry = list; entry != nullptr; entry = entry->next) {
        std::string candidate;
        if (SerialOf(ftdi.get(), entry->dev, candidate) != FT_OK || candidate != serial) continue;
        // ftdi_sio holds the bridge on most systems: detach it for the run, attach it back on close.
        ftdi->module_detach_mode = AUTO_DETACH_REATACH_SIO_MODULE;
        const int r = ftdi_usb_open_dev(ftdi.get(), entry->dev);
        status = r == 0 ? FT_OK : FT_DEVICE_NOT_OPENED;
        // -5: the interface could not be claimed; the kernel's driver is detached first, so
        // another program holds it.
        if (r == -5) openProblems_[serial] = "USB bridge " + serial + " is in use by another program";
        break;
    }
    ftdi_list_free(&list);
    if (status != FT_OK) return status;

    while (nextHandle_ == 0 || bridges_.contains(nextHandle_)) ++nextHandle_;
    handle = nextHandle_++;
    bridges_.emplace(handle, Bridge{std::move(ftdi), {}, 0, false});
    return FT_OK;
}

FT_STATUS LibFtdiD2xx::FT_SetBaudRate(FT_HANDLE handle, std::uint32_t baud)
{
    Bridge* bridge = Find(handle);
    if (bridge == nullptr) return FT_INVALID_HANDLE;
    if (baud == 0 || baud > INT_MAX) return FT_INVALID_BAUD_RATE;
    const int r = ftdi_set_baudrate(bridge->ftdi.get(), static_cast<int>(baud));
    if (r == -1) return FT_INVALID_BAUD_RATE;
    return r < 0 ? FT_IO_ERROR : FT_OK;
}

FT_STATUS LibFtdiD2xx::FT_SetDataCharacteristics(FT_HANDLE handle, std::uint8_t wordLength, std::uint8_t stopBits,
                                                 std::uint8_t parity)
{
    Bridge* bridge = Find(handle);
    if (bridge == nullptr) return FT_INVALID_HANDLE;
    // The driver's codes for these happen to be libftdi's too.
    if ((wordLength != FT_BITS_7 && wordLength != FT_BITS_8) || (stopBits != FT_STOP_BITS_1 && stopBits != FT_STOP_BITS_2)
        || parity > FT_PARITY_SPACE) {
        return FT_INVALID_PARAMETER;
    }
    const int r = ftdi_set_line_property(bridge->ftdi.get(), static_cast<ftdi_bits_type>(wordLength),
                                         static_cast<ftdi_stopbits_type>(stopBits), static_cast<ftdi_parity_type>(parity));
    return r < 0 ? FT_IO_ERROR : FT_OK;
}

FT_STATUS LibFtdiD2xx::FT_SetFlowControl(FT_HANDLE handle, std::uint16_t flowControl, std::uint8_t xon, std::uint8_t xoff)
{
    Bridge* bridge = Find(handle);
    if (bridge == nullptr) return FT_INVALID_HANDLE;
    ftdi_context* ftdi = bridge->ftdi.get();
    int r = 0;
    switch (flowControl) {
    case FT_FLOW_NONE: r = ftdi_setflowctrl(ftdi, SIO_DISABLE_FLOW_CTRL); break;
    case FT_FLOW_RTS_CTS: r = ftdi_setflowctrl(ftdi, SIO_RTS_CTS_HS); break;
    case FT_FLOW_DTR_DSR: r = ftdi_setflowctrl(ftdi, SIO_DTR_DSR_HS); break;
    case FT_FLOW_XON_XOFF: r = ftdi_setflowctrl_xonxoff(ftdi, xon, xoff); break;
    default: return FT_INVALID_PARAMETER;
    }
    return r < 0 ? FT_IO_ERROR : FT_OK;
}

FT_STATUS LibFtdiD2xx::FT_SetUSBParameters(FT_HANDLE handle, std::uint32_t inTransferSize, std::uint32_t outTransferSize)
{
    Bridge* bridge = Find(handle);
    if (bridge == nullptr) return FT_INVALID_HANDLE;
    const auto valid = [](std::uint32_t size) { return size >= 64 && size <= 65536 && size % 64 == 0; };
    if (!valid(inTransferSize) || !valid(outTransferSize)) return FT_INVALID_PARAMETER;
    if (ftdi_read_data_set_chunksize(bridge->ftdi.get(), inTransferSize) < 0
        || ftdi_write_data_set_chunksize(bridge->ftdi.get(), outTransferSize) < 0) {
        return FT_IO_ERROR;
    }
    return FT_OK;
}

FT_STATUS LibFtdiD2xx::FT_SetLatencyTimer(FT_HANDLE handle, std::uint8_t milliseconds)
{
    Bridge* bridge = Find(handle);
    if (bridge == nullptr) return FT_INVALID_HANDLE;
    if (milliseconds == 0) return FT_INVALID_PARAMETER;
    return ftdi_set_latency_timer(bridge->ftdi.get(), milliseconds) < 0 ? FT_IO_ERROR : FT_OK;
}

FT_STATUS LibFtdiD2xx::FT_SetTimeouts(FT_HANDLE handle, std::uint32_t readMilliseconds, std::uint32_t writeMilliseconds)
{
    Bridge* bridge = Find(handle);
    if (bridge == nullptr) return FT_INVALID_HANDLE;
    bridge->readTimeoutMs = readMilliseconds;
    // libftdi keeps its transfer time-outs in the context and offers no setter for them.
    bridge->ftdi->usb_read_timeout = ClampToInt(std::max(readMilliseconds, kShortestUsbTimeoutMs));
    bridge->ftdi->usb_write_timeout = ClampToInt(std::max(writeMilliseconds, kShortestUsbTimeoutMs));
    return FT_OK;
}

FT_STATUS LibFtdiD2xx::FT_SetResetPipeRetryCount(FT_HANDLE handle, std::uint32_t)
{
    // The count is for the Windows driver's pipe resets; libusb has nothing to set.
    return Find(handle) == nullptr ? FT_INVALID_HANDLE : FT_OK;
}

FT_STATUS LibFtdiD2xx::FT_Write(FT_HANDLE handle, std::span<const std::uint8_t> bytes, std::uint32_t& written)
{
    written = 0;
    Bridge* bridge = Find(handle);
    if (bridge == nullptr) return FT_INVALID_HANDLE;
    if (bytes.size() > INT_MAX) return FT_INVALID_PARAMETER;
    const int n = ftdi_write_data(bridge->ftdi.get(), bytes.data(), static_cast<int>(bytes.size()));
    if (n < 0) return FT_IO_ERROR;
    written = static_cast<std::uint32_t>(n);
    return FT_OK;
}

FT_STATUS LibFtdiD2xx::Poll(Bridge& bridge)
{
    // One bulk transfer, read here rather than through ftdi_read_data: that one starts a second
    // transfer after the first and, should it time out, reports the time-out and drops the bytes
    // it already had. A transfer that times out still says how much arrived, and that is kept.
    ftdi_context* ftdi = bridge.ftdi.get();
    std::array<unsigned char, kPollBytes> chunk{};
    const int size = std::clamp(static_cast<int>(ftdi->readbuffer_chunksize), 64, kPollBytes);
    int got = 0;
    const int r = libusb_bulk_transfer(ftdi->usb_dev, static_cast<unsigned char>(ftdi->out_ep), chunk.data(), size,
                                       &got, ftdi->usb_read_timeout);
    if (r < 0 && r != LIBUSB_ERROR_TIMEOUT) return FT_IO_ERROR;
    // Every packet of the chip starts with its two modem-status bytes.
    const int packet = ftdi->max_packet_size > 2 ? static_cast<int>(ftdi->max_packet_size) : 64;
    for (int at = 0; at < got; at += packet) {
        const int end = std::min(at + packet, got);
        if (at + 2 < end) bridge.readAhead.insert(bridge.readAhead.end(), chunk.begin() + at + 2, chunk.begin() + end);
    }
    return FT_OK;
}

FT_STATUS LibFtdiD2xx::FT_Read(FT_HANDLE handle, std::span<std::uint8_t> bytes, std::uint32_t& received)
{
    received = 0;
    Bridge* bridge = Find(handle);
    if (bridge == nullptr) return FT_INVALID_HANDLE;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(bridge->readTimeoutMs);
    std::size_t have = 0;
    for (bool polled = false;; polled = true) {
        const std::size_t take = std::min(bytes.size() - have, bridge->readAhead.size());
        const auto end = bridge->readAhead.begin() + static_cast<std::ptrdiff_t>(take);
        std::copy(bridge->readAhead.begin(), end, bytes.begin() + static_cast<std::ptrdiff_t>(have));
        bridge->readAhead.erase(bridge->readAhead.begin(), end);
        have += take;
        received = static_cast<std::uint32_t>(have);
        if (have == bytes.size()) return FT_OK;
        if (polled && std::chrono::steady_clock::now() >= deadline) return FT_OK;
        if (const FT_STATUS status = Poll(*bridge); status != FT_OK) return status;
    }
}

FT_STATUS LibFtdiD2xx::FT_GetQueueStatus(FT_HANDLE handle, std::uint32_t& rxBytes)
{
    rxBytes = 0;
    Bridge* bridge = Find(handle);
    if (bridge == nullptr) return FT_INVALID_HANDLE;
    if (const FT_STATUS status = Poll(*bridge); status != FT_OK) return status;
    rxBytes = static_cast<std::uint32_t>(std::min<std::size_t>(bridge->readAhead.size(), UINT32_MAX));
    return FT_OK;
}

FT_STATUS LibFtdiD2xx::FT_ResetDevice(FT_HANDLE handle)
{
    Bridge* bridge = Find(handle);
    if (bridge == nullptr) return FT_INVALID_HANDLE;
    bridge->readAhead.clear();
    return ftdi_usb_reset(bridge->ftdi.get()) < 0 ? FT_IO_ERROR : FT_OK;
}

FT_STATUS LibFtdiD2xx::FT_Close(FT_HANDLE handle)
{
    const auto found = bridges_.find(handle);
    if (found == bridges_.end()) return FT_INVALID_HANDLE;
    const int r = ftdi_usb_close(found->second.ftdi.get());
    bridges_.erase(found);
    return r < 0 ? FT_IO_ERROR : FT_OK;
}

FT_STATUS LibFtdiD2xx::FT_GetDeviceInfo(FT_HANDLE handle, std::uint32_t& chipType)
{
    Bridge* bridge = Find(handle);
    if (bridge == nullptr) return FT_INVALID_HANDLE;
    chipType = ChipTypeOf(bridge->ftdi->type);
    return FT_OK;
}

FT_STATUS LibFtdiD2xx::FT_EE_Read(FT_HANDLE handle, ProgramImage& image)
{
    Bridge* bridge = Find(handle);
    if (bridge == nullptr) return FT_INVALID_HANDLE;
    ftdi_context* ftdi = bridge->ftdi.get();
    if (std::holds_alternative<ProgramDataNewer>(image) != UsesNewerLayout(ChipTypeOf(ftdi->type))) {
        return FT_INVALID_PARAMETER;
    }
    EepromBytes raw{};
    const FT_STATUS loaded = LoadEeprom(ftdi, bridge->defaultsSet, raw);
    if (loaded != FT_OK && loaded != FT_EEPROM_NOT_PROGRAMMED) return loaded;

    std::visit([&](ProgramData& p) {
        p = ProgramData{};
        p.VendorId = static_cast<std::uint16_t>(Value(ftdi, VENDOR_ID));
        p.ProductId = static_cast<std::uint16_t>(Value(ftdi, PRODUCT_ID));
        p.MaxPower = static_cast<std::uint16_t>(Value(ftdi, MAX_POWER));
        p.PnP = Value(ftdi, IS_NOT_PNP) ? 0 : 1;
        p.SelfPowered = Value(ftdi, SELF_POWERED) ? 1 : 0;
        p.RemoteWakeup = Value(ftdi, REMOTE_WAKEUP) ? 1 : 0;
        p.IsoIn = Value(ftdi, IN_IS_ISOCHRONOUS) ? 1 : 0;
        p.IsoOut = Value(ftdi, OUT_IS_ISOCHRONOUS) ? 1 : 0;
        p.PullDownEnable = Value(ftdi, SUSPEND_PULL_DOWNS) ? 1 : 0;
        p.SerNumEnable = Value(ftdi, USE_SERIAL) ? 1 : 0;
        p.USBVersionEnable = Value(ftdi, USE_USB_VERSION) ? 1 : 0;
        p.USBVersion = static_cast<std::uint16_t>(Value(ftdi, USB_VERSION));
        if (loaded != FT_OK) return;
        // Descriptor offsets wrap within the chip's EEPROM; 128 or 256 bytes.
        const std::size_t mask = Value(ftdi, CHIP_SIZE) == 128 ? 0x7F : 0xFF;
        p.Manufacturer = DescriptorText(raw, 0x0E, mask);
        p.Description = DescriptorText(raw, 0x10, mask);
        p.SerialNumber = DescriptorText(raw, 0x12, mask);
        // libftdi keeps no manufacturer-id text; ManufacturerId reads as "".
    }, image);
    return loaded;
}

FT_STATUS LibFtdiD2xx::FT_EE_Program(FT_HANDLE handle, const ProgramImage& image)
{
    Bridge* bridge = Find(handle);
    if (bridge == nullptr) return FT_INVALID_HANDLE;
    ftdi_context* ftdi = bridge->ftdi.get();
    if (std::holds_alternative<ProgramDataNewer>(image) != UsesNewerLayout(ChipTypeOf(ftdi->type))) {
        return FT_INVALID_PARAMETER;
    }
    // The chip's current image is the base, so its pin functions and drive settings stay.
    EepromBytes raw{};
    const FT_STATUS loaded = LoadEeprom(ftdi, bridge->defaultsSet, raw);
    if (loaded != FT_OK && loaded != FT_EEPROM_NOT_PROGRAMMED) return loaded;

    const ProgramData& p = std::visit([](const ProgramData& d) -> const ProgramData& { return d; }, image);
    const std::pair<ftdi_eeprom_value, int> values[] = {
        {VENDOR_ID, p.VendorId},
        {PRODUCT_ID, p.ProductId},
        {MAX_POWER, p.MaxPower},
        {IS_NOT_PNP, p.PnP == 0},
        {SELF_POWERED, p.SelfPowered != 0},
        {REMOTE_WAKEUP, p.RemoteWakeup != 0},
        {IN_IS_ISOCHRONOUS, p.IsoIn != 0},
        {OUT_IS_ISOCHRONOUS, p.IsoOut != 0},
        {SUSPEND_PULL_DOWNS, p.PullDownEnable != 0},
        {USE_SERIAL, p.SerNumEnable != 0},
        {USE_USB_VERSION, p.USBVersionEnable != 0},
        {USB_VERSION, p.USBVersion},
    };
    for (const auto& [name, value] : values) {
        if (ftdi_set_eeprom_value(ftdi, name, value) < 0) return FT_INVALID_PARAMETER;
    }
    if (ftdi_eeprom_set_strings(ftdi, p.Manufacturer.c_str(), p.Description.c_str(), p.SerialNumber.c_str()) < 0) {
        return FT_INVALID_PARAMETER;
    }
    // A negative size: the texts do not fit the chip's EEPROM.
    if (ftdi_eeprom_build(ftdi) < 0) return FT_INVALID_PARAMETER;
    // libftdi leaves the latency timer at its own value after writing; the link wants its own back.
    unsigned char latency = 0;
    const bool latencyKnown = ftdi_get_latency_timer(ftdi, &latency) == 0;
    const FT_STATUS written = ftdi_write_eeprom(ftdi) < 0 ? FT_EEPROM_WRITE_FAILED : FT_OK;
    if (latencyKnown && ftdi_set_latency_timer(ftdi, latency) < 0 && written == FT_OK) return FT_IO_ERROR;
    return written;
}

} // namespace zem
