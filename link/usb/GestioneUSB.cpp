#include "link/usb/GestioneUSB.h"

#include "link/Clock.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace zem {

namespace {

constexpr int kFirstListingTries = 500;
constexpr double kFirstListingSeconds = 1.0;
constexpr double kReadSeconds = 0.7;
constexpr double kReadBoundAfterMidnight = 4.0;
// The count the list is defined with is 16-bit; a driver claiming more is not believed.
constexpr std::uint32_t kMaxDevices = 32767;
constexpr std::uint32_t kTransferSize = 4096;
constexpr std::uint8_t kLatencyMilliseconds = 1;
constexpr std::uint32_t kReadTimeoutMilliseconds = 100;
constexpr std::uint32_t kWriteTimeoutMilliseconds = 1000;
constexpr std::uint32_t kResetPipeRetries = 0xFFFFFF;

using ListBuffer = std::array<char, 255>;

std::string UpToNul(const std::string& text)
{
    return text.substr(0, text.find('\0'));
}

// The older chips' identifiers have always been shown as their four hex digits read back as a
// decimal number (0403 hex gives 403); the digits before any letter count, as the old tools did.
std::uint16_t HexDigitsAsDecimal(std::uint16_t id)
{
    std::array<char, 5> hex{};
    std::snprintf(hex.data(), hex.size(), "%04X", static_cast<unsigned>(id));
    std::uint16_t value = 0;
    for (const char c : hex) {
        if (c < '0' || c > '9') break;
        value = static_cast<std::uint16_t>(value * 10 + (c - '0'));
    }
    return value;
}

bool StartsWithIgnoringCase(const std::string& text, const std::string& prefix)
{
    if (text.size() < prefix.size()) return false;
    return std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
}

ProgramImage ImageFor(std::uint32_t chipType)
{
    if (UsesNewerLayout(chipType)) return ProgramDataNewer{};
    return ProgramDataOlder{};
}

} // namespace

GestioneUSB::GestioneUSB(D2xx& driver, Clock& clock) : driver_(driver), clock_(clock) {}

int GestioneUSB::ElencaDispositiviUSB(const std::string& filter)
{
    // Each listing starts afresh: an entry that cannot be read must not show what another bridge
    // at the same place showed last time.
    dispositivi_.clear();
    std::uint32_t number = 0;
    if (driver_.FT_ListDevices(number, {}, FT_LIST_NUMBER_ONLY) != FT_OK) return 0;
    number = std::min(number, kMaxDevices);
    dispositivi_.resize(number);

    ListBuffer buffer{};
    if (number > 0) {
        // Right after plugging in, the driver may take a moment before it can list the bridges.
        const double start = clock_.Timer();
        for (int attempt = 0; attempt < kFirstListingTries; ++attempt) {
            buffer.fill('\0');
            std::uint32_t first = 0;
            if (driver_.FT_ListDevices(first, buffer, FT_LIST_BY_INDEX) == FT_OK) break;
            if (TempoScaduto(start, clock_.Timer(), kFirstListingSeconds, kFirstListingSeconds)) break;
        }
    }

    for (std::uint32_t i = 0; i < number; ++i) {
        DispositivoUSB& entry = dispositivi_[i];
        entry.NumeroSerie.clear();
        buffer.fill('\0');
        std::uint32_t index = i;
        const FT_STATUS listed = driver_.FT_ListDevices(index, buffer, FT_LIST_BY_INDEX);
        if (listed != FT_OK) {
            entry.Descrizione = listed == FT_INVALID_HANDLE ? "Invalid handle" : "";
            entry.Problema = driver_.ListingProblem(i);
            continue;
        }
        const std::string serial(buffer.data(), strnlen(buffer.data(), buffer.size()));
        FT_HANDLE handle = 0;
        if (driver_.FT_OpenEx(serial, FT_OPEN_BY_SERIAL_NUMBER, handle) != FT_OK || handle == 0) {
            entry.Problema = driver_.ListingProblem(i);
            continue;
        }
        DatiEEPROM dati;
        const FT_STATUS read = LeggiEEPROM(handle, dati);
        if (read == FT_OK) {
            entry.NumeroSerie = dati.SerialNumber;
            entry.Descrizione = dati.Description;
        } else if (read == FT_EEPROM_NOT_PROGRAMMED) {
            entry.Descrizione = "EEPROM Empty";
        }
        driver_.FT_Close(handle);
    }

    if (!filter.empty()) {
        // A bridge the driver explains stays: its serial number is unknown, and the technician must
        // learn why it cannot be used.
        std::erase_if(dispositivi_, [&filter](const DispositivoUSB& d) {
            return d.Problema.empty() && !StartsWithIgnoringCase(d.NumeroSerie, filter);
        });
    }
    return static_cast<int>(dispositivi_.size());
}

std::string GestioneUSB::DescrizioneDispositivo(int index) const
{
    if (index < 1 || static_cast<std::size_t>(index) > dispositivi_.size()) return "";
    return dispositivi_[static_cast<std::size_t>(index) - 1].Descrizione;
}

std::string GestioneUSB::ProblemaDispositivo(int index) const
{
    if (index < 1 || static_cast<std::size_t>(index) > dispositivi_.size()) return "";
    return dispositivi_[static_cast<std::size_t>(index) - 1].Problema;
}

std::string GestioneUSB::SerialeDispositivo(int index) const
{
    if (index < 1 || static_cast<std::size_t>(index) > dispositivi_.size()) return "";
    return dispositivi_[static_cast<std::size_t>(index) - 1].NumeroSerie;
}

FT_STATUS GestioneUSB::LeggiEEPROM(FT_HANDLE handle, DatiEEPROM& dati)
{
    std::uint32_t chipType = 0;
    if (const FT_STATUS info = driver_.FT_GetDeviceInfo(handle, chipType); info != FT_OK) return info;
    tipoChip_ = static_cast<int>(chipType);

    ProgramImage image = ImageFor(chipType);
    if (const FT_STATUS read = driver_.FT_EE_Read(handle, image); read != FT_OK) return read;

    const bool newer = std::holds_alternative<ProgramDataNewer>(image);
    std::visit([&dati, newer](const ProgramData& p) {
        dati.VendorId = newer ? p.VendorId : HexDigitsAsDecimal(p.VendorId);
        dati.ProductId = newer ? p.ProductId : HexDigitsAsDecimal(p.ProductId);
        dati.FlagEEPROM = p.SerNumEnable != 0;
        dati.Manufacturer = UpToNul(p.Manufacturer);
        dati.ManufacturerId = UpToNul(p.ManufacturerId);
        dati.Description = UpToNul(p.Description);
        dati.SerialNumber = UpToNul(p.SerialNumber);
    }, image);
    return FT_OK;
}

std::string GestioneUSB::LeggiSerialeEEPROM(FT_HANDLE handle, int& tipoChip)
{
    DatiEEPROM dati;
    const bool read = LeggiEEPROM(handle, dati) == FT_OK;
    tipoChip = tipoChip_;
    return read ? dati.SerialNumber : "";
}

void GestioneUSB::ImpostaDatiEEPROM(const std::string& descrizione, const std::string& seriale)
{
    daProgrammare_.Description = descrizione;
    daProgrammare_.SerialNumber = seriale;
}

FT_STATUS GestioneUSB::ProgrammaEEPROM(FT_HANDLE handle, const DatiEEPROM& dati)
{
    if (!EepromTextsFit(dati.Manufacturer, dati.Description, dati.SerialNumber)) return FT_INVALID_PARAMETER;
    std::uint32_t chipType = 0;
    if (const FT_STATUS info = driver_.FT_GetDeviceInfo(handle, chipType); info != FT_OK) return info;
    tipoChip_ = static_cast<int>(chipType);

    // Start from what the chip holds, so that its other settings survive; a blank chip is fine.
    ProgramImage image = ImageFor(chipType);
    const FT_STATUS read = driver_.FT_EE_Read(handle, image);
    if (read != FT_OK && read != FT_EEPROM_NOT_PROGRAMMED) return read;

    std::visit([&dati](ProgramData& p) {
        if (dati.VendorId != 0) p.VendorId = dati.VendorId;
        if (dati.ProductId != 0) p.ProductId = dati.ProductId;
        p.Manufacturer = dati.Manufacturer;
        p.ManufacturerId = dati.ManufacturerId;
        p.SerialNumber = dati.SerialNumber;
        p.Description = dati.Description;
        p.MaxPower = 0;
        p.PnP = 1;
        p.SelfPowered = 1;
        p.RemoteWakeup = 0;
    }, image);
    if (auto* newer = std::get_if<ProgramDataNewer>(&image)) {
        newer->Signature1 = 0;
        newer->Signature2 = 0xFFFFFFFF;
        newer->Version = 2;
    }
    return driver_.FT_EE_Program(handle, image);
}

bool GestioneUSB::ScriviEEPROM(FT_HANDLE handle)
{
    return ProgrammaEEPROM(handle, daProgrammare_) == FT_OK;
}

FT_HANDLE GestioneUSB::ApriDispositivoUSB(const std::string& serial)
{
    FT_HANDLE handle = 0;
    if (driver_.FT_OpenEx(serial, FT_OPEN_BY_SERIAL_NUMBER, handle) != FT_OK || handle == 0) return 0;
    const bool configured =
        driver_.FT_SetDataCharacteristics(handle, FT_BITS_8, FT_STOP_BITS_1, FT_PARITY_NONE) == FT_OK
        && driver_.FT_SetFlowControl(handle, FT_FLOW_NONE, 0, 0) == FT_OK
        && driver_.FT_SetUSBParameters(handle, kTransferSize, kTransferSize) == FT_OK
        && driver_.FT_SetLatencyTimer(handle, kLatencyMilliseconds) == FT_OK
        && driver_.FT_SetTimeouts(handle, kReadTimeoutMilliseconds, kWriteTimeoutMilliseconds) == FT_OK
        && driver_.FT_SetResetPipeRetryCount(handle, kResetPipeRetries) == FT_OK;
    if (configured) return handle;
    // Left open, the bridge could not be opened again until it is unplugged.
    driver_.FT_Close(handle);
    return 0;
}

bool GestioneUSB::ImpostaBaudRate(FT_HANDLE handle, std::uint32_t baud)
{
    return driver_.FT_SetBaudRate(handle, baud) == FT_OK;
}

bool GestioneUSB::ChiudiDispositivoUSB(FT_HANDLE& handle)
{
    const bool closed = driver_.FT_Close(handle) == FT_OK;
    handle = 0;
    return closed;
}

bool GestioneUSB::SvuotaRicezioneUSB(FT_HANDLE handle)
{
    const std::uint32_t waiting = ByteInAttesaUSB(handle);
    std::uint8_t discarded = 0;
    for (std::uint32_t i = 0; i < waiting; ++i) {
        if (!LeggiByteUSB(handle, discarded)) break;
    }
    return true;
}

bool GestioneUSB::ScriviBloccoUSB(FT_HANDLE handle, std::span<const std::uint8_t> bytes)
{
    std::uint32_t written = 0;
    return driver_.FT_Write(handle, bytes, written) == FT_OK && written == bytes.size();
}

bool GestioneUSB::ScriviByteUSB(FT_HANDLE handle, std::uint8_t byte)
{
    return ScriviBloccoUSB(handle, std::span<const std::uint8_t>(&byte, 1));
}

bool GestioneUSB::LeggiBloccoUSB(FT_HANDLE handle, std::span<std::uint8_t> bytes)
{
    std::uint32_t received = 0;
    return driver_.FT_Read(handle, bytes, received) == FT_OK && received == bytes.size();
}

bool GestioneUSB::LeggiBloccoUSBConAttesa(FT_HANDLE handle, std::span<std::uint8_t> bytes)
{
    std::uint32_t received = 0;
    // A driver claiming more than was asked for is not believed: nothing is placed past the array.
    if (driver_.FT_Read(handle, bytes, received) != FT_OK || received > bytes.size()) return false;
    std::size_t have = received;
    if (have == bytes.size()) return true;

    const double start = clock_.Timer();
    for (;;) {
        const std::span<std::uint8_t> missing = bytes.subspan(have);
        std::uint32_t more = 0;
        if (driver_.FT_Read(handle, missing, more) != FT_OK || more > missing.size()) return false;
        have += more;
        if (have == bytes.size()) return true;
        if (TempoScaduto(start, clock_.Timer(), kReadSeconds, kReadBoundAfterMidnight)) return false;
    }
}

bool GestioneUSB::LeggiByteUSB(FT_HANDLE handle, std::uint8_t& byte)
{
    return LeggiBloccoUSB(handle, std::span<std::uint8_t>(&byte, 1));
}

std::uint32_t GestioneUSB::ByteInAttesaUSB(FT_HANDLE handle)
{
    std::uint32_t waiting = 0;
    if (driver_.FT_GetQueueStatus(handle, waiting) != FT_OK) return 0;
    return waiting;
}

bool GestioneUSB::ReimpostaDispositivoUSB(FT_HANDLE& handle, const std::string& serial, std::uint32_t baud)
{
    if (driver_.FT_ResetDevice(handle) == FT_OK) return true;
    driver_.FT_Close(handle);
    handle = ApriDispositivoUSB(serial);
    if (handle == 0) return false;
    return ImpostaBaudRate(handle, baud);
}

} // namespace zem
