#pragma once

#include "usbemu/Ft232rEeprom.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

namespace zem::usbemu {

// What the chip does with one control transfer: the bytes it returns (IN) or accepts (OUT), or a
// stall for a request it does not know.
struct ControlResult {
    bool stalled = false;
    std::vector<std::uint8_t> data;
};

// The faults a test can arm on the chip.
struct ChipFaults {
    // After the next data packet the chip sends nothing for this long, not even a status packet.
    std::chrono::milliseconds lateStatus{0};
    bool stalled = false;           // both bulk endpoints answer with a stall
    // The bridge is pulled out once the host has sent this many bulk bytes (0: never).
    std::size_t unplugAfterBytes = 0;
};

// An FT232R as the host sees it over USB: the FTDI vendor requests, the string descriptors from its
// EEPROM (as read at plug-in), bulk OUT handed to the instrument behind it and bulk IN as 64-byte
// packets that start with the two modem-status bytes, a status-only packet every latency period.
// Called from the emulator's thread and the test's, so every member takes the lock.
class Ft232rChip {
public:
    using Clock = std::chrono::steady_clock;
    // The instrument: takes what the host sent, answers what it transmits in return.
    using Peer = std::function<std::vector<std::uint8_t>(std::span<const std::uint8_t> received)>;
    static constexpr std::size_t kPacket = 64;

    explicit Ft232rChip(Ft232rEeprom eeprom);

    void SetPeer(Peer peer);
    ChipFaults Faults() const;
    void SetFaults(const ChipFaults& faults);

    // The identity read from the EEPROM at plug-in; plugging in again reads it afresh.
    void PlugIn();
    Ft232rEeprom::Identity Presented() const;
    std::vector<std::uint8_t> DeviceDescriptor() const;
    static std::vector<std::uint8_t> ConfigurationDescriptor();

    ControlResult Control(std::uint8_t requestType, std::uint8_t request, std::uint16_t value, std::uint16_t index,
                          std::span<const std::uint8_t> out, std::size_t inLength);
    // Bulk OUT: true when the chip took the bytes (false: stalled).
    bool Send(std::span<const std::uint8_t> bytes);
    // Bulk IN into a transfer of `room` bytes: the packets due now, nothing while none is due.
    std::optional<std::vector<std::uint8_t>> Receive(std::size_t room, Clock::time_point now);
    bool Stalled() const;
    // True once the host sent the bytes after which the bridge is pulled out.
    bool UnplugDue() const;

    Ft232rEeprom Eeprom() const;
    void SetEeprom(const Ft232rEeprom& eeprom);
    std::uint32_t Baud() const;
    std::uint8_t LatencyMs() const;
    std::uint64_t BulkBytesOut() const;
    std::uint64_t BulkBytesIn() const;

private:
    std::vector<std::uint8_t> StringDescriptor(std::uint8_t index) const;
    std::optional<std::vector<std::uint8_t>> GetDescriptor(std::uint16_t value) const;
    void Reset(std::uint16_t what);

    mutable std::mutex mutex_;
    Ft232rEeprom eeprom_;
    Ft232rEeprom::Identity presented_;
    Peer peer_;
    ChipFaults faults_;
    std::deque<std::uint8_t> toHost_;
    Clock::time_point lastPacket_{};
    Clock::time_point silentUntil_{};
    std::uint32_t baud_ = 9600;
    std::uint8_t latencyMs_ = 16;
    std::uint64_t bytesOut_ = 0;
    std::uint64_t bytesIn_ = 0;
};

} // namespace zem::usbemu
