#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace zem::usbemu {

// The FT232R's internal 128-byte EEPROM as the chip itself reads it: identifiers, configuration,
// three string descriptors from byte 0x18 on and a checksum in the last word. The chip falls back
// to its factory strings when the checksum does not match (or the EEPROM is blank).
class Ft232rEeprom {
public:
    static constexpr std::size_t kBytes = 128;
    static constexpr std::size_t kWords = kBytes / 2;
    // Room for the three descriptors: 0x18 up to the checksum.
    static constexpr std::size_t kStringArea = kBytes - 0x18 - 2;

    struct Identity {
        std::uint16_t vendorId = 0x0403;
        std::uint16_t productId = 0x6001;
        std::string manufacturer;
        std::string description;
        std::string serial;
    };

    // All 0xFF, as the chip leaves the factory in the tests' blank case.
    static Ft232rEeprom Blank();
    // A valid image; nothing when the texts do not fit the string area.
    static std::optional<Ft232rEeprom> Programmed(const Identity& identity);

    std::uint16_t Word(std::size_t address) const;  // wraps within the 64 words, as the chip does
    void SetWord(std::size_t address, std::uint16_t value);
    void Erase() { bytes_.fill(0xFF); }
    void BreakChecksum() { bytes_[kBytes - 1] ^= 0x5A; }

    bool Valid() const;
    // What the chip presents on USB: the EEPROM's identity when it is valid, else the defaults.
    Identity Presented() const;
    bool HasSerial() const { return Valid() && !Presented().serial.empty(); }

    const std::array<std::uint8_t, kBytes>& Bytes() const { return bytes_; }

private:
    std::uint16_t Checksum() const;
    std::string Text(std::size_t pointer) const;

    std::array<std::uint8_t, kBytes> bytes_{};
};

} // namespace zem::usbemu
