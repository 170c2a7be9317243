#include "usbemu/Ft232rEeprom.h"

namespace zem::usbemu {

namespace {

constexpr std::size_t kFirstString = 0x18;
constexpr std::size_t kChecksumWord = Ft232rEeprom::kWords - 1;

} // namespace

Ft232rEeprom Ft232rEeprom::Blank()
{
    Ft232rEeprom e;
    e.Erase();
    return e;
}

std::optional<Ft232rEeprom> Ft232rEeprom::Programmed(const Identity& identity)
{
    const std::string* texts[] = {&identity.manufacturer, &identity.description, &identity.serial};
    std::size_t needed = 0;
    for (const std::string* t : texts) needed += 2 + 2 * t->size();
    if (needed > kStringArea) return std::nullopt;

    Ft232rEeprom e;
    auto& b = e.bytes_;
    b[0x02] = identity.vendorId & 0xFF;
    b[0x03] = identity.vendorId >> 8;
    b[0x04] = identity.productId & 0xFF;
    b[0x05] = identity.productId >> 8;
    b[0x01] = 0x40;  // 64-byte endpoints
    b[0x07] = 0x06;  // release 6.00: the 232R
    b[0x08] = 0xA0;  // bus powered, remote wake-up
    b[0x09] = 45;    // 90 mA
    b[0x0A] = identity.serial.empty() ? 0x00 : 0x08;  // serial number enabled
    b[0x0D] = 0x02;  // USB 2.00
    std::size_t at = kFirstString;
    for (std::size_t i = 0; i < 3; ++i) {
        const std::string& t = *texts[i];
        b[0x0E + 2 * i] = static_cast<std::uint8_t>(0x80 | at);
        b[0x0F + 2 * i] = static_cast<std::uint8_t>(2 + 2 * t.size());
        b[at++] = static_cast<std::uint8_t>(2 + 2 * t.size());
        b[at++] = 0x03;
        for (const char c : t) {
            b[at++] = static_cast<std::uint8_t>(c);
            b[at++] = 0;
        }
    }
    e.SetWord(kChecksumWord, e.Checksum());
    return e;
}

std::uint16_t Ft232rEeprom::Word(std::size_t address) const
{
    const std::size_t a = (address % kWords) * 2;
    return static_cast<std::uint16_t>(bytes_[a] | (bytes_[a + 1] << 8));
}

void Ft232rEeprom::SetWord(std::size_t address, std::uint16_t value)
{
    const std::size_t a = (address % kWords) * 2;
    bytes_[a] = value & 0xFF;
    bytes_[a + 1] = value >> 8;
}

std::uint16_t Ft232rEeprom::Checksum() const
{
    std::uint16_t sum = 0xAAAA;
    for (std::size_t i = 0; i < kChecksumWord; ++i) {
        sum ^= Word(i);
        sum = static_cast<std::uint16_t>((sum << 1) | (sum >> 15));
    }
    return sum;
}

bool Ft232rEeprom::Valid() const
{
    return Word(kChecksumWord) == Checksum();
}

std::string Ft232rEeprom::Text(std::size_t pointer) const
{
    const std::size_t start = bytes_[pointer] & 0x7F;
    const std::size_t length = bytes_[pointer + 1];
    std::string text;
    for (std::size_t i = 2; i + 1 < length; i += 2) text.push_back(static_cast<char>(bytes_[(start + i) % kBytes]));
    return text;
}

Ft232rEeprom::Identity Ft232rEeprom::Presented() const
{
    if (!Valid()) return {0x0403, 0x6001, "FTDI", "FT232R USB UART", ""};
    return {Word(1), Word(2), Text(0x0E), Text(0x10), Text(0x12)};
}

} // namespace zem::usbemu
