#include "usbemu/Ft232rChip.h"

#include <algorithm>
#include <cmath>

namespace zem::usbemu {

namespace {

// Modem status the chip reports in every packet: CTS, DSR; transmitter empty.
constexpr std::uint8_t kModemStatus[2] = {0x01, 0x60};
constexpr std::uint8_t kVendorOut = 0x40;
constexpr std::uint8_t kVendorIn = 0xC0;
constexpr std::uint8_t kStandardIn = 0x80;

// The 232R's divisor: 14 bits of whole steps of a 3 MHz clock and three bits of eighths, the
// eighths coded out of order; 0 and 1 stand for 3 and 2 Mbaud.
std::uint32_t DecodeBaud(std::uint16_t value, std::uint16_t index)
{
    static constexpr double kEighths[8] = {0.0, 0.5, 0.25, 0.125, 0.375, 0.625, 0.75, 0.875};
    const unsigned whole = value & 0x3FFF;
    const unsigned code = ((value >> 14) & 0x3) | ((index & 0x1) << 2);
    if (whole == 0 && code == 0) return 3000000;
    if (whole == 1 && code == 0) return 2000000;
    return static_cast<std::uint32_t>(std::lround(3000000.0 / (whole + kEighths[code])));
}

void PutWord(std::vector<std::uint8_t>& bytes, std::uint16_t word)
{
    bytes.push_back(word & 0xFF);
    bytes.push_back(word >> 8);
}

std::vector<std::uint8_t> DeviceDescriptorOf(const Ft232rEeprom::Identity& identity)
{
    std::vector<std::uint8_t> d = {18, 0x01};
    PutWord(d, 0x0200);
    d.insert(d.end(), {0x00, 0x00, 0x00, 8});
    PutWord(d, identity.vendorId);
    PutWord(d, identity.productId);
    PutWord(d, 0x0600);  // release 6.00: the 232R
    d.insert(d.end(), {1, 2, static_cast<std::uint8_t>(identity.serial.empty() ? 0 : 3), 1});
    return d;
}

} // namespace

Ft232rChip::Ft232rChip(Ft232rEeprom eeprom) : eeprom_(eeprom), presented_(eeprom.Presented()) {}

void Ft232rChip::SetPeer(Peer peer)
{
    std::lock_guard lock(mutex_);
    peer_ = std::move(peer);
}

ChipFaults Ft232rChip::Faults() const
{
    std::lock_guard lock(mutex_);
    return faults_;
}

void Ft232rChip::SetFaults(const ChipFaults& faults)
{
    std::lock_guard lock(mutex_);
    faults_ = faults;
}

void Ft232rChip::PlugIn()
{
    std::lock_guard lock(mutex_);
    presented_ = eeprom_.Presented();
    toHost_.clear();
    baud_ = 9600;
    latencyMs_ = 16;
    faults_.unplugAfterBytes = 0;
}

Ft232rEeprom::Identity Ft232rChip::Presented() const
{
    std::lock_guard lock(mutex_);
    return presented_;
}

std::vector<std::uint8_t> Ft232rChip::DeviceDescriptor() const
{
    std::lock_guard lock(mutex_);
    return DeviceDescriptorOf(presented_);
}

std::vector<std::uint8_t> Ft232rChip::ConfigurationDescriptor()
{
    return {9, 0x02, 32, 0, 1, 1, 0, 0xA0, 45,              // one configuration, 90 mA
            9, 0x04, 0, 0, 2, 0xFF, 0xFF, 0xFF, 2,          // the vendor-specific interface
            7, 0x05, 0x81, 0x02, kPacket, 0, 0,             // bulk IN
            7, 0x05, 0x02, 0x02, kPacket, 0, 0};            // bulk OUT
}

std::vector<std::uint8_t> Ft232rChip::StringDescriptor(std::uint8_t index) const
{
    if (index == 0) return {4, 0x03, 0x09, 0x04};  // US English
    const std::string* texts[] = {&presented_.manufacturer, &presented_.description, &presented_.serial};
    if (index > 3 || (index == 3 && presented_.serial.empty())) return {};
    std::vector<std::uint8_t> d = {static_cast<std::uint8_t>(2 + 2 * texts[index - 1]->size()), 0x03};
    for (const char c : *texts[index - 1]) PutWord(d, static_cast<std::uint8_t>(c));
    return d;
}

std::optional<std::vector<std::uint8_t>> Ft232rChip::GetDescriptor(std::uint16_t value) const
{
    switch (value >> 8) {
    case 1: return DeviceDescriptorOf(presented_);
    case 2: return ConfigurationDescriptor();
    case 3: {
        auto d = StringDescriptor(value & 0xFF);
        if (d.empty()) return std::nullopt;
        return d;
    }
    default: return std::nullopt;
    }
}

void Ft232rChip::Reset(std::uint16_t what)
{
    // 0 resets the chip, 1 purges what waits for the host; 2 (what waits for the line) is empty here.
    if (what == 0 || what == 1) toHost_.clear();
}

ControlResult Ft232rChip::Control(std::uint8_t requestType, std::uint8_t request, std::uint16_t value,
                                  std::uint16_t index, std::span<const std::uint8_t>, std::size_t inLength)
{
    std::lock_guard lock(mutex_);
    ControlResult result;
    const auto in = [&](std::vector<std::uint8_t> data) {
        data.resize(std::min(data.size(), inLength));
        result.data = std::move(data);
    };
    if (requestType == kStandardIn && request == 0x06) {
        if (auto d = GetDescriptor(value)) in(std::move(*d));
        else result.stalled = true;
        return result;
    }
    if (requestType == kVendorOut) {
        switch (request) {
        case 0x00: Reset(value); return result;
        case 0x01:  // modem control
        case 0x02:  // flow control
        case 0x04:  // data bits, parity, stop bits
            return result;
        case 0x03: baud_ = DecodeBaud(value, index); return result;
        case 0x09: latencyMs_ = static_cast<std::uint8_t>(std::max<std::uint16_t>(value & 0xFF, 1)); return result;
        case 0x91: eeprom_.SetWord(index, value); return result;
        case 0x92: eeprom_.Erase(); return result;
        default: break;
        }
    } else if (requestType == kVendorIn) {
        switch (request) {
        case 0x05: in({kModemStatus[0], kModemStatus[1]}); return result;
        case 0x0A: in({latencyMs_}); return result;
        case 0x90: {
            std::vector<std::uint8_t> word;
            PutWord(word, eeprom_.Word(index));
            in(std::move(word));
            return result;
        }
        default: break;
        }
    }
    result.stalled = true;
    return result;
}

bool Ft232rChip::Send(std::span<const std::uint8_t> bytes)
{
    std::lock_guard lock(mutex_);
    if (faults_.stalled) return false;
    bytesOut_ += bytes.size();
    if (!peer_) return true;
    const std::vector<std::uint8_t> answer = peer_(bytes);
    toHost_.insert(toHost_.end(), answer.begin(), answer.end());
    return true;
}

std::optional<std::vector<std::uint8_t>> Ft232rChip::Receive(std::size_t room, Clock::time_point now)
{
    std::lock_guard lock(mutex_);
    if (room < 2 || now < silentUntil_) return std::nullopt;
    std::vector<std::uint8_t> out;
    if (toHost_.empty()) {
        if (now - lastPacket_ < std::chrono::milliseconds(latencyMs_)) return std::nullopt;
        out.assign(std::begin(kModemStatus), std::end(kModemStatus));
        lastPacket_ = now;
        return out;
    }
    // Full packets follow each other within one transfer; a short one ends it.
    while (!toHost_.empty() && room - out.size() > 2) {
        const std::size_t take = std::min({kPacket - 2, toHost_.size(), room - out.size() - 2});
        out.insert(out.end(), std::begin(kModemStatus), std::end(kModemStatus));
        out.insert(out.end(), toHost_.begin(), toHost_.begin() + static_cast<std::ptrdiff_t>(take));
        toHost_.erase(toHost_.begin(), toHost_.begin() + static_cast<std::ptrdiff_t>(take));
        bytesIn_ += take;
        if (take < kPacket - 2) break;
    }
    lastPacket_ = now;
    if (faults_.lateStatus.count() > 0) {
        silentUntil_ = now + faults_.lateStatus;
        faults_.lateStatus = std::chrono::milliseconds(0);
    }
    return out;
}

bool Ft232rChip::Stalled() const
{
    std::lock_guard lock(mutex_);
    return faults_.stalled;
}

bool Ft232rChip::UnplugDue() const
{
    std::lock_guard lock(mutex_);
    return faults_.unplugAfterBytes != 0 && bytesOut_ >= faults_.unplugAfterBytes;
}

Ft232rEeprom Ft232rChip::Eeprom() const
{
    std::lock_guard lock(mutex_);
    return eeprom_;
}

void Ft232rChip::SetEeprom(const Ft232rEeprom& eeprom)
{
    std::lock_guard lock(mutex_);
    eeprom_ = eeprom;
}

std::uint32_t Ft232rChip::Baud() const
{
    std::lock_guard lock(mutex_);
    return baud_;
}

std::uint8_t Ft232rChip::LatencyMs() const
{
    std::lock_guard lock(mutex_);
    return latencyMs_;
}

std::uint64_t Ft232rChip::BulkBytesOut() const
{
    std::lock_guard lock(mutex_);
    return bytesOut_;
}

std::uint64_t Ft232rChip::BulkBytesIn() const
{
    std::lock_guard lock(mutex_);
    return bytesIn_;
}

} // namespace zem::usbemu
