#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <variant>

namespace zem {

// Handle of an open bridge; 0 = none.
using FT_HANDLE = std::uint32_t;
// Result of every driver call. The numbers are the driver's own: the link passes them on and the
// EEPROM tools tell 15 (never programmed) from the other failures.
using FT_STATUS = std::uint32_t;

inline constexpr FT_STATUS FT_OK = 0;
inline constexpr FT_STATUS FT_INVALID_HANDLE = 1;
inline constexpr FT_STATUS FT_DEVICE_NOT_FOUND = 2;
inline constexpr FT_STATUS FT_DEVICE_NOT_OPENED = 3;
inline constexpr FT_STATUS FT_IO_ERROR = 4;
inline constexpr FT_STATUS FT_INSUFFICIENT_RESOURCES = 5;
inline constexpr FT_STATUS FT_INVALID_PARAMETER = 6;
inline constexpr FT_STATUS FT_INVALID_BAUD_RATE = 7;
inline constexpr FT_STATUS FT_EEPROM_READ_FAILED = 11;
inline constexpr FT_STATUS FT_EEPROM_WRITE_FAILED = 12;
inline constexpr FT_STATUS FT_EEPROM_NOT_PROGRAMMED = 15;

// FT_ListDevices flags.
inline constexpr std::uint32_t FT_LIST_NUMBER_ONLY = 0x80000000;
inline constexpr std::uint32_t FT_LIST_BY_INDEX = 0x40000000;
// FT_OpenEx flags (also accepted beside FT_LIST_BY_INDEX: the listing gives serial numbers).
inline constexpr std::uint32_t FT_OPEN_BY_SERIAL_NUMBER = 1;

// FT_SetDataCharacteristics.
inline constexpr std::uint8_t FT_BITS_7 = 7;
inline constexpr std::uint8_t FT_BITS_8 = 8;
inline constexpr std::uint8_t FT_STOP_BITS_1 = 0;
inline constexpr std::uint8_t FT_STOP_BITS_2 = 2;
inline constexpr std::uint8_t FT_PARITY_NONE = 0;
inline constexpr std::uint8_t FT_PARITY_ODD = 1;
inline constexpr std::uint8_t FT_PARITY_EVEN = 2;
inline constexpr std::uint8_t FT_PARITY_MARK = 3;
inline constexpr std::uint8_t FT_PARITY_SPACE = 4;

// FT_SetFlowControl.
inline constexpr std::uint16_t FT_FLOW_NONE = 0x0000;
inline constexpr std::uint16_t FT_FLOW_RTS_CTS = 0x0100;
inline constexpr std::uint16_t FT_FLOW_DTR_DSR = 0x0200;
inline constexpr std::uint16_t FT_FLOW_XON_XOFF = 0x0400;

// Chip types reported by FT_GetDeviceInfo.
inline constexpr std::uint32_t FT_DEVICE_BM = 0;
inline constexpr std::uint32_t FT_DEVICE_AM = 1;
inline constexpr std::uint32_t FT_DEVICE_100AX = 2;
inline constexpr std::uint32_t FT_DEVICE_UNKNOWN = 3;
inline constexpr std::uint32_t FT_DEVICE_2232C = 4;
inline constexpr std::uint32_t FT_DEVICE_232R = 5;
inline constexpr std::uint32_t FT_DEVICE_2232H = 6;
inline constexpr std::uint32_t FT_DEVICE_4232H = 7;
inline constexpr std::uint32_t FT_DEVICE_232H = 8;
inline constexpr std::uint32_t FT_DEVICE_X_SERIES = 9;

// The chip families from the 232R on keep their EEPROM in the newer image layout.
inline bool UsesNewerLayout(std::uint32_t chipType) { return chipType >= FT_DEVICE_232R; }

// The fields both EEPROM image layouts carry. Texts are the driver's 8-bit strings; a reader cuts
// them at their first NUL. A backend keeps the chip-specific settings it does not expose here
// (pin functions, drive strength, oscillator) as they stand on the chip when it programs an image.
struct ProgramData {
    std::uint16_t VendorId = 0;
    std::uint16_t ProductId = 0;
    std::string Manufacturer;
    std::string ManufacturerId;
    std::string Description;
    std::string SerialNumber;
    std::uint16_t MaxPower = 0;      // mA drawn from the bus
    std::uint16_t PnP = 0;
    std::uint16_t SelfPowered = 0;
    std::uint16_t RemoteWakeup = 0;
    std::uint8_t IsoIn = 0;
    std::uint8_t IsoOut = 0;
    std::uint8_t PullDownEnable = 0;
    std::uint8_t SerNumEnable = 0;   // the flag byte the link reports as FlagEEPROM
    std::uint8_t USBVersionEnable = 0;
    std::uint16_t USBVersion = 0;
};

// The FT232R's EEPROM holds 48 characters of text in all: manufacturer, description and serial
// number together. An image whose texts are longer is refused before anything is programmed.
inline constexpr std::size_t kEepromTextCharacters = 48;

inline bool EepromTextsFit(const std::string& manufacturer, const std::string& description, const std::string& serial)
{
    return manufacturer.size() + description.size() + serial.size() <= kEepromTextCharacters;
}

// Older chip families (types below 5): the image has no header.
struct ProgramDataOlder : ProgramData {};

// Newer chip families (types 5 and above): the image starts with a header.
struct ProgramDataNewer : ProgramData {
    std::uint32_t Signature1 = 0;
    std::uint32_t Signature2 = 0;
    std::uint32_t Version = 0;
};

// The caller picks the layout by the alternative it hands to FT_EE_Read / FT_EE_Program; a layout
// that does not fit the chip type is refused with FT_INVALID_PARAMETER.
using ProgramImage = std::variant<ProgramDataOlder, ProgramDataNewer>;

// Fills a listing buffer the way the driver does: the text cut to the buffer, NUL-terminated.
// False when the buffer cannot even hold the NUL.
inline bool CopyToListBuffer(const std::string& text, std::span<char> buffer)
{
    if (buffer.empty()) return false;
    const std::size_t n = std::min(text.size(), buffer.size() - 1);
    std::copy_n(text.begin(), n, buffer.begin());
    std::fill(buffer.begin() + static_cast<std::ptrdiff_t>(n), buffer.end(), '\0');
    return true;
}

// The USB-serial bridge driver, reduced to the calls the USB module makes. Implemented for real
// bridges with libftdi and by the simulated bridge of the simulator.
class D2xx {
public:
    virtual ~D2xx() = default;

    // FT_LIST_NUMBER_ONLY: `indexOrNumber` receives how many bridges are attached.
    // FT_LIST_BY_INDEX: `indexOrNumber` is the index of a bridge (from 0) and `buffer` receives its
    // serial number (see CopyToListBuffer).
    virtual FT_STATUS FT_ListDevices(std::uint32_t& indexOrNumber, std::span<char> buffer,
                                     std::uint32_t flags) = 0;
    // Opens the bridge whose serial number is `serial` (flags FT_OPEN_BY_SERIAL_NUMBER); "" opens
    // a bridge without a serial number. `handle` is 0 unless the status is FT_OK.
    virtual FT_STATUS FT_OpenEx(const std::string& serial, std::uint32_t flags, FT_HANDLE& handle) = 0;
    virtual FT_STATUS FT_SetBaudRate(FT_HANDLE handle, std::uint32_t baud) = 0;
    virtual FT_STATUS FT_SetDataCharacteristics(FT_HANDLE handle, std::uint8_t wordLength,
                                                std::uint8_t stopBits, std::uint8_t parity) = 0;
    virtual FT_STATUS FT_SetFlowControl(FT_HANDLE handle, std::uint16_t flowControl, std::uint8_t xon,
                                        std::uint8_t xoff) = 0;
    virtual FT_STATUS FT_SetUSBParameters(FT_HANDLE handle, std::uint32_t inTransferSize,
                                          std::uint32_t outTransferSize) = 0;
    virtual FT_STATUS FT_SetLatencyTimer(FT_HANDLE handle, std::uint8_t milliseconds) = 0;
    virtual FT_STATUS FT_SetTimeouts(FT_HANDLE handle, std::uint32_t readMilliseconds,
                                     std::uint32_t writeMilliseconds) = 0;
    virtual FT_STATUS FT_SetResetPipeRetryCount(FT_HANDLE handle, std::uint32_t count) = 0;
    virtual FT_STATUS FT_Write(FT_HANDLE handle, std::span<const std::uint8_t> bytes,
                               std::uint32_t& written) = 0;
    // Blocks until bytes.size() bytes have arrived or the read time-out set with FT_SetTimeouts has
    // passed, and returns what it has (`received` <= bytes.size()).
    virtual FT_STATUS FT_Read(FT_HANDLE handle, std::span<std::uint8_t> bytes, std::uint32_t& received) = 0;
    // Bytes that can be read now without waiting.
    virtual FT_STATUS FT_GetQueueStatus(FT_HANDLE handle, std::uint32_t& rxBytes) = 0;
    virtual FT_STATUS FT_ResetDevice(FT_HANDLE handle) = 0;
    virtual FT_STATUS FT_Close(FT_HANDLE handle) = 0;
    virtual FT_STATUS FT_GetDeviceInfo(FT_HANDLE handle, std::uint32_t& chipType) = 0;
    // A blank EEPROM reads as FT_EEPROM_NOT_PROGRAMMED, the image then holding the chip's factory
    // defaults (vendor and product identifiers), so that programming it gives a usable bridge.
    virtual FT_STATUS FT_EE_Read(FT_HANDLE handle, ProgramImage& image) = 0;
    virtual FT_STATUS FT_EE_Program(FT_HANDLE handle, const ProgramImage& image) = 0;
    // Why the bridge at listing index `index` could not be listed or opened since the last count, in
    // words for the technician (a device node this user may not open, a bridge another program
    // holds); "" when the driver has nothing to say.
    virtual std::string ListingProblem(std::uint32_t /*index*/) const { return ""; }
};

} // namespace zem
