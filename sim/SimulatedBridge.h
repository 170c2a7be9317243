#pragma once

#include "link/usb/D2xx.h"
#include "sim/FakeClock.h"
#include "sim/LineFaults.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace zem::sim {

class SimulatedInstrument;

// The driver calls, for failure injection and call counts.
enum class BridgeCall {
    ListDevicesNumber,   // FT_ListDevices with FT_LIST_NUMBER_ONLY
    ListDevicesByIndex,  // FT_ListDevices with FT_LIST_BY_INDEX
    OpenEx,
    SetBaudRate,
    SetDataCharacteristics,
    SetFlowControl,
    SetUSBParameters,
    SetLatencyTimer,
    SetTimeouts,
    SetResetPipeRetryCount,
    Write,
    Read,
    GetQueueStatus,
    ResetDevice,
    Close,
    GetDeviceInfo,
    EeRead,
    EeProgram,
};
inline constexpr std::size_t kBridgeCallCount = 18;

// One bridge on the simulated bus; a test may change any of it at any time.
struct SimulatedDevice {
    std::string serial;                   // what the bus reports: listing and opening use it
    std::uint32_t chipType = FT_DEVICE_232R;
    std::optional<ProgramImage> eeprom;   // empty: never programmed
    FT_STATUS listStatus = FT_OK;         // listing this bridge by index (1: held by another program)
    FT_STATUS openStatus = FT_OK;         // opening it
    std::string listProblem = {};             // what the driver says of a bridge it could not list
};

// How a bridge is configured; a fresh open starts from the chip's power-on values.
struct BridgeSettings {
    std::uint32_t baud = 9600;
    std::uint8_t wordLength = FT_BITS_8;
    std::uint8_t stopBits = FT_STOP_BITS_1;
    std::uint8_t parity = FT_PARITY_NONE;
    std::uint16_t flowControl = FT_FLOW_NONE;
    std::uint8_t xon = 0x11;
    std::uint8_t xoff = 0x13;
    std::uint32_t inTransferSize = 64;
    std::uint32_t outTransferSize = 64;
    std::uint8_t latencyMs = 16;
    std::uint32_t readTimeoutMs = 0;   // 0: a read returns at once with what is there
    std::uint32_t writeTimeoutMs = 0;
    std::uint32_t resetPipeRetryCount = 0;

    bool operator==(const BridgeSettings&) const = default;
};

// Timing of the line between bridge and instrument: 1.25 Mbaud at 10 bits a byte, and a latency
// added to every transmission of the instrument before the host can read it (USB frames and the
// bridge's latency timer). Off, every byte is there at once (injected delays still apply).
struct WireTiming {
    bool enabled = false;
    double latencySeconds = 0.0;
};

// A bus of simulated USB-serial bridges behind the driver interface, each optionally wired to an
// instrument. Bytes the host writes go (through the host-to-instrument faults) to the instrument;
// what the instrument transmits goes (through the instrument-to-host faults) into the bridge's
// receive queue, each byte with the moment it becomes readable on the fake clock's monotonic time.
// Reads wait by advancing the fake clock, never by sleeping.
class SimulatedBridge final : public D2xx {
public:
    // Takes the bytes the instrument received; returns its transmissions, in order.
    using Peer = std::function<std::vector<std::vector<std::uint8_t>>(std::span<const std::uint8_t> received)>;
    static constexpr int kAlways = -1;
    static constexpr double kByteSeconds = 10.0 / 1250000.0;

    explicit SimulatedBridge(FakeClock& clock);

    std::size_t AddDevice(SimulatedDevice device);
    SimulatedDevice& Device(std::size_t index);
    const SimulatedDevice& Device(std::size_t index) const;

    // Either a peer or an instrument is wired to a bridge; attaching one detaches the other.
    void AttachPeer(std::size_t index, Peer peer);
    // The instrument must outlive the bridge.
    void AttachInstrument(std::size_t index, SimulatedInstrument& instrument);
    LineFaults& HostToInstrument(std::size_t index);
    LineFaults& InstrumentToHost(std::size_t index);
    // Bytes that turn up in the receive queue without being asked for (stale input, noise).
    void InjectReceived(std::size_t index, std::span<const std::uint8_t> bytes, double delaySeconds = 0.0);

    void SetWireTiming(WireTiming timing) { timing_ = timing; }
    // Every driver call takes this long on the fake clock.
    void SetCallDuration(double seconds) { callSeconds_ = seconds; }
    // The next `times` calls of that kind (kAlways: all), after `skip` that succeed, fail with status.
    void Fail(BridgeCall call, FT_STATUS status, int times = 1, int skip = 0);
    void ClearFailures() { failures_.clear(); }

    bool IsOpen(std::size_t index) const;
    FT_HANDLE HandleOf(std::size_t index) const;   // 0 when closed
    const BridgeSettings& Settings(std::size_t index) const;
    // Bytes in the receive queue, readable now or still on their way.
    std::size_t Queued(std::size_t index) const;
    // Every byte the host wrote to that bridge, in order.
    const std::vector<std::uint8_t>& Written(std::size_t index) const;
    void ClearWritten(std::size_t index);
    std::uint64_t Calls(BridgeCall call) const;
    std::uint64_t BytesWritten() const { return bytesWritten_; }
    std::uint64_t BytesRead() const { return bytesRead_; }

    FT_STATUS FT_ListDevices(std::uint32_t& indexOrNumber, std::span<char> buffer, std::uint32_t flags) override;
    FT_STATUS FT_OpenEx(const std::string& serial, std::uint32_t flags, FT_HANDLE& handle) override;
    FT_STATUS FT_SetBaudRate(FT_HANDLE handle, std::uint32_t baud) override;
    FT_STATUS FT_SetDataCharacteristics(FT_HANDLE handle, std::uint8_t wordLength, std::uint8_t stopBits,
                                        std::uint8_t parity) override;
    FT_STATUS FT_SetFlowControl(FT_HANDLE handle, std::uint16_t flowControl, std::uint8_t xon,
                                std::uint8_t xoff) override;
    FT_STATUS FT_SetUSBParameters(FT_HANDLE handle, std::uint32_t inTransferSize,
                                  std::uint32_t outTransferSize) override;
    FT_STATUS FT_SetLatencyTimer(FT_HANDLE handle, std::uint8_t milliseconds) override;
    FT_STATUS FT_SetTimeouts(FT_HANDLE handle, std::uint32_t readMilliseconds,
                             std::uint32_t writeMilliseconds) override;
    FT_STATUS FT_SetResetPipeRetryCount(FT_HANDLE handle, std::uint32_t count) override;
    FT_STATUS FT_Write(FT_HANDLE handle, std::span<const std::uint8_t> bytes, std::uint32_t& written) override;
    FT_STATUS FT_Read(FT_HANDLE handle, std::span<std::uint8_t> bytes, std::uint32_t& received) override;
    FT_STATUS FT_GetQueueStatus(FT_HANDLE handle, std::uint32_t& rxBytes) override;
    FT_STATUS FT_ResetDevice(FT_HANDLE handle) override;
    FT_STATUS FT_Close(FT_HANDLE handle) override;
    FT_STATUS FT_GetDeviceInfo(FT_HANDLE handle, std::uint32_t& chipType) override;
    FT_STATUS FT_EE_Read(FT_HANDLE handle, ProgramImage& image) override;
    FT_STATUS FT_EE_Program(FT_HANDLE handle, const ProgramImage& image) override;
    std::string ListingProblem(std::uint32_t index) const override;

private:
    struct QueuedByte {
        std::uint8_t value;
        double readableAt;  // monotonic seconds
    };
    struct Unit {
        SimulatedDevice device;
        Peer peer;
        SimulatedInstrument* instrument = nullptr;  // takes the place of the peer when attached
        LineFaults toInstrument;
        LineFaults toHost;
        FT_HANDLE handle = 0;
        BridgeSettings settings;
        std::deque<QueuedByte> rx;  // readableAt never decreases along the queue
        double instrumentLineFreeAt = 0.0;
        double hostLineFreeAt = 0.0;
        std::vector<std::uint8_t> written;
    };
    struct Failure {
        BridgeCall call;
        FT_STATUS status;
        int times;
        int skip;
    };

    // Counts the call, lets its time pass and returns an injected failure, if one is due.
    std::optional<FT_STATUS> Enter(BridgeCall call);
    // Enter, then the bridge of the handle (status 1 when there is none).
    std::optional<FT_STATUS> Begin(BridgeCall call, FT_HANDLE handle, Unit*& unit);
    Unit* Find(FT_HANDLE handle);
    void Deliver(Unit& unit, std::span<const std::uint8_t> bytes, double sentAt);
    void Transmit(Unit& unit, std::vector<std::uint8_t> bytes, double sentAt);
    void Push(Unit& unit, std::uint8_t value, double readableAt);
    std::size_t ReadableBy(const Unit& unit, double moment) const;
    double ByteSeconds() const { return timing_.enabled ? kByteSeconds : 0.0; }
    double Latency() const { return timing_.enabled ? timing_.latencySeconds : 0.0; }

    FakeClock& clock_;
    std::deque<Unit> units_;  // a deque, so that references handed out stay valid
    std::vector<Failure> failures_;
    std::array<std::uint64_t, kBridgeCallCount> calls_{};
    WireTiming timing_;
    double callSeconds_ = 0.0;
    FT_HANDLE nextHandle_ = 0x100;
    std::uint64_t bytesWritten_ = 0;
    std::uint64_t bytesRead_ = 0;
};

} // namespace zem::sim
