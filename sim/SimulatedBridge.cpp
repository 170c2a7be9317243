#include "sim/SimulatedBridge.h"

#include "sim/SimulatedInstrument.h"

#include <algorithm>

namespace zem::sim {

namespace {

constexpr std::uint16_t kFactoryVendorId = 0x0403;
constexpr std::uint16_t kFactoryProductId = 0x6001;

bool LayoutFits(const ProgramImage& image, std::uint32_t chipType)
{
    return std::holds_alternative<ProgramDataNewer>(image) == UsesNewerLayout(chipType);
}

bool ValidTransferSize(std::uint32_t size)
{
    return size >= 64 && size <= 65536 && size % 64 == 0;
}

} // namespace

SimulatedBridge::SimulatedBridge(FakeClock& clock) : clock_(clock) {}

std::size_t SimulatedBridge::AddDevice(SimulatedDevice device)
{
    units_.emplace_back();
    units_.back().device = std::move(device);
    return units_.size() - 1;
}

SimulatedDevice& SimulatedBridge::Device(std::size_t index) { return units_.at(index).device; }
const SimulatedDevice& SimulatedBridge::Device(std::size_t index) const { return units_.at(index).device; }

void SimulatedBridge::AttachPeer(std::size_t index, Peer peer)
{
    Unit& unit = units_.at(index);
    unit.peer = std::move(peer);
    unit.instrument = nullptr;
}

void SimulatedBridge::AttachInstrument(std::size_t index, SimulatedInstrument& instrument)
{
    Unit& unit = units_.at(index);
    unit.peer = nullptr;
    unit.instrument = &instrument;
}

LineFaults& SimulatedBridge::HostToInstrument(std::size_t index) { return units_.at(index).toInstrument; }
LineFaults& SimulatedBridge::InstrumentToHost(std::size_t index) { return units_.at(index).toHost; }

void SimulatedBridge::InjectReceived(std::size_t index, std::span<const std::uint8_t> bytes, double delaySeconds)
{
    Unit& unit = units_.at(index);
    const double at = clock_.Monotonic() + std::max(0.0, delaySeconds);
    for (const std::uint8_t b : bytes) Push(unit, b, at);
}

void SimulatedBridge::Fail(BridgeCall call, FT_STATUS status, int times, int skip)
{
    if (times == 0) return;
    failures_.push_back({call, status, times, skip});
}

bool SimulatedBridge::IsOpen(std::size_t index) const { return units_.at(index).handle != 0; }
FT_HANDLE SimulatedBridge::HandleOf(std::size_t index) const { return units_.at(index).handle; }
const BridgeSettings& SimulatedBridge::Settings(std::size_t index) const { return units_.at(index).settings; }
std::size_t SimulatedBridge::Queued(std::size_t index) const { return units_.at(index).rx.size(); }
const std::vector<std::uint8_t>& SimulatedBridge::Written(std::size_t index) const { return units_.at(index).written; }
void SimulatedBridge::ClearWritten(std::size_t index) { units_.at(index).written.clear(); }
std::uint64_t SimulatedBridge::Calls(BridgeCall call) const { return calls_.at(static_cast<std::size_t>(call)); }

std::optional<FT_STATUS> SimulatedBridge::Enter(BridgeCall call)
{
    ++calls_.at(static_cast<std::size_t>(call));
    clock_.Advance(callSeconds_);
    const auto due = std::find_if(failures_.begin(), failures_.end(), [call](const Failure& f) { return f.call == call; });
    if (due == failures_.end()) return std::nullopt;
    if (due->skip > 0) {
        --due->skip;
        return std::nullopt;
    }
    const FT_STATUS status = due->status;
    if (due->times != kAlways && --due->times == 0) failures_.erase(due);
    return status;
}

std::optional<FT_STATUS> SimulatedBridge::Begin(BridgeCall call, FT_HANDLE handle, Unit*& unit)
{
    if (auto failure = Enter(call)) return failure;
    unit = Find(handle);
    if (unit == nullptr) return FT_INVALID_HANDLE;
    return std::nullopt;
}

SimulatedBridge::Unit* SimulatedBridge::Find(FT_HANDLE handle)
{
    if (handle == 0) return nullptr;
    for (Unit& unit : units_) {
        if (unit.handle == handle) return &unit;
    }
    return nullptr;
}

void SimulatedBridge::Push(Unit& unit, std::uint8_t value, double readableAt)
{
    // The queue is first in, first out: nothing becomes readable before the byte ahead of it.
    if (!unit.rx.empty()) readableAt = std::max(readableAt, unit.rx.back().readableAt);
    unit.rx.push_back({value, readableAt});
}

void SimulatedBridge::Transmit(Unit& unit, std::vector<std::uint8_t> bytes, double sentAt)
{
    const auto send = [&unit, this](std::span<const std::uint8_t> piece, double at) {
        double t = std::max(unit.hostLineFreeAt, at);
        for (const std::uint8_t b : piece) {
            t += ByteSeconds();
            Push(unit, b, t + Latency());
        }
        unit.hostLineFreeAt = t;
    };
    if (unit.toHost.Empty()) {
        send(bytes, sentAt);
        return;
    }
    for (const Delivery& d : unit.toHost.Apply(std::move(bytes))) send(d.bytes, sentAt + d.delaySeconds);
}

std::size_t SimulatedBridge::ReadableBy(const Unit& unit, double moment) const
{
    const auto end = std::partition_point(unit.rx.begin(), unit.rx.end(),
                                          [moment](const QueuedByte& q) { return q.readableAt <= moment; });
    return static_cast<std::size_t>(end - unit.rx.begin());
}

FT_STATUS SimulatedBridge::FT_ListDevices(std::uint32_t& indexOrNumber, std::span<char> buffer, std::uint32_t flags)
{
    if (flags == FT_LIST_NUMBER_ONLY) {
        if (auto failure = Enter(BridgeCall::ListDevicesNumber)) return *failure;
        indexOrNumber = static_cast<std::uint32_t>(units_.size());
        return FT_OK;
    }
    if ((flags & FT_LIST_BY_INDEX) == 0 || (flags & ~(FT_LIST_BY_INDEX | FT_OPEN_BY_SERIAL_NUMBER)) != 0) {
        return FT_INVALID_PARAMETER;
    }
    if (auto failure = Enter(BridgeCall::ListDevicesByIndex)) return *failure;
    if (indexOrNumber >= units_.size()) return FT_DEVICE_NOT_FOUND;
    const SimulatedDevice& device = units_[indexOrNumber].device;
    if (device.listStatus != FT_OK) return device.listStatus;
    return CopyToListBuffer(device.serial, buffer) ? FT_OK : FT_INVALID_PARAMETER;
}

FT_STATUS SimulatedBridge::FT_OpenEx(const std::string& serial, std::uint32_t flags, FT_HANDLE& handle)
{
    handle = 0;
    if (auto failure = Enter(BridgeCall::OpenEx)) return *failure;
    if (flags != FT_OPEN_BY_SERIAL_NUMBER) return FT_INVALID_PARAMETER;
    const auto unit = std::find_if(units_.begin(), units_.end(), [&serial](const Unit& u) { return u.device.serial == serial; });
    if (unit == units_.end()) return FT_DEVICE_NOT_FOUND;
    if (unit->device.openStatus != FT_OK) return unit->device.openStatus;
    if (unit->handle != 0) return FT_DEVICE_NOT_OPENED;
    unit->handle = nextHandle_++;
    unit->settings = BridgeSettings{};
    unit->rx.clear();
    handle = unit->handle;
    return FT_OK;
}

FT_STATUS SimulatedBridge::FT_SetBaudRate(FT_HANDLE handle, std::uint32_t baud)
{
    Unit* unit = nullptr;
    if (auto status = Begin(BridgeCall::SetBaudRate, handle, unit)) return *status;
    if (baud == 0) return FT_INVALID_BAUD_RATE;
    unit->settings.baud = baud;
    return FT_OK;
}

FT_STATUS SimulatedBridge::FT_SetDataCharacteristics(FT_HANDLE handle, std::uint8_t wordLength,
                                                     std::uint8_t stopBits, std::uint8_t parity)
{
    Unit* unit = nullptr;
    if (auto status = Begin(BridgeCall::SetDataCharacteristics, handle, unit)) return *status;
    if ((wordLength != FT_BITS_7 && wordLength != FT_BITS_8) || (stopBits != FT_STOP_BITS_1 && stopBits != FT_STOP_BITS_2)
        || parity > FT_PARITY_SPACE) {
        return FT_INVALID_PARAMETER;
    }
    unit->settings.wordLength = wordLength;
    unit->settings.stopBits = stopBits;
    unit->settings.parity = parity;
    return FT_OK;
}

FT_STATUS SimulatedBridge::FT_SetFlowControl(FT_HANDLE handle, std::uint16_t flowControl, std::uint8_t xon,
                                             std::uint8_t xoff)
{
    Unit* unit = nullptr;
    if (auto status = Begin(BridgeCall::SetFlowControl, handle, unit)) return *status;
    unit->settings.flowControl = flowControl;
    unit->settings.xon = xon;
    unit->settings.xoff = xoff;
    return FT_OK;
}

FT_STATUS SimulatedBridge::FT_SetUSBParameters(FT_HANDLE handle, std::uint32_t inTransferSize,
                                               std::uint32_t outTransferSize)
{
    Unit* unit = nullptr;
    if (auto status = Begin(BridgeCall::SetUSBParameters, handle, unit)) return *status;
    if (!ValidTransferSize(inTransferSize) || !ValidTransferSize(outTransferSize)) return FT_INVALID_PARAMETER;
    unit->settings.inTransferSize = inTransferSize;
    unit->settings.outTransferSize = outTransferSize;
    return FT_OK;
}

FT_STATUS SimulatedBridge::FT_SetLatencyTimer(FT_HANDLE handle, std::uint8_t milliseconds)
{
    Unit* unit = nullptr;
    if (auto status = Begin(BridgeCall::SetLatencyTimer, handle, unit)) return *status;
    if (milliseconds == 0) return FT_INVALID_PARAMETER;
    unit->settings.latencyMs = milliseconds;
    return FT_OK;
}

FT_STATUS SimulatedBridge::FT_SetTimeouts(FT_HANDLE handle, std::uint32_t readMilliseconds,
                                          std::uint32_t writeMilliseconds)
{
    Unit* unit = nullptr;
    if (auto status = Begin(BridgeCall::SetTimeouts, handle, unit)) return *status;
    unit->settings.readTimeoutMs = readMilliseconds;
    unit->settings.writeTimeoutMs = writeMilliseconds;
    return FT_OK;
}

FT_STATUS SimulatedBridge::FT_SetResetPipeRetryCount(FT_HANDLE handle, std::uint32_t count)
{
    Unit* unit = nullptr;
    if (auto status = Begin(BridgeCall::SetResetPipeRetryCount, handle, unit)) return *status;
    unit->settings.resetPipeRetryCount = count;
    return FT_OK;
}

FT_STATUS SimulatedBridge::FT_Write(FT_HANDLE handle, std::span<const std::uint8_t> bytes, std::uint32_t& written)
{
    written = 0;
    Unit* unit = nullptr;
    if (auto status = Begin(BridgeCall::Write, handle, unit)) return *status;
    unit->written.insert(unit->written.end(), bytes.begin(), bytes.end());
    bytesWritten_ += bytes.size();
    written = static_cast<std::uint32_t>(bytes.size());

    const double now = clock_.Monotonic();
    if (unit->toInstrument.Empty()) {
        Deliver(*unit, bytes, now);
    } else {
        for (const Delivery& d : unit->toInstrument.Apply({bytes.begin(), bytes.end()})) Deliver(*unit, d.bytes, now + d.delaySeconds);
    }
    return FT_OK;
}

void SimulatedBridge::Deliver(Unit& unit, std::span<const std::uint8_t> bytes, double sentAt)
{
    // One line, in order: a late piece holds up whatever follows it.
    const double start = std::max(unit.instrumentLineFreeAt, sentAt);
    unit.instrumentLineFreeAt = start + static_cast<double>(bytes.size()) * ByteSeconds();
    // The instrument is called directly rather than through a peer: benchmarks run through here.
    if (unit.instrument != nullptr) {
        for (Transmission& t : unit.instrument->Receive(bytes)) Transmit(unit, std::move(t.bytes), unit.instrumentLineFreeAt);
    } else if (unit.peer) {
        for (std::vector<std::uint8_t>& t : unit.peer(bytes)) Transmit(unit, std::move(t), unit.instrumentLineFreeAt);
    }
}

FT_STATUS SimulatedBridge::FT_Read(FT_HANDLE handle, std::span<std::uint8_t> bytes, std::uint32_t& received)
{
    received = 0;
    Unit* unit = nullptr;
    if (auto status = Begin(BridgeCall::Read, handle, unit)) return *status;

    const double deadline = clock_.Monotonic() + unit->settings.readTimeoutMs / 1000.0;
    std::size_t n = bytes.size();
    if (n > 0 && unit->rx.size() >= n && unit->rx[n - 1].readableAt <= deadline) {
        clock_.AdvanceTo(unit->rx[n - 1].readableAt);
    } else if (n > 0) {
        n = ReadableBy(*unit, deadline);
        clock_.AdvanceTo(deadline);
    }
    for (std::size_t i = 0; i < n; ++i) {
        bytes[i] = unit->rx.front().value;
        unit->rx.pop_front();
    }
    received = static_cast<std::uint32_t>(n);
    bytesRead_ += n;
    return FT_OK;
}

FT_STATUS SimulatedBridge::FT_GetQueueStatus(FT_HANDLE handle, std::uint32_t& rxBytes)
{
    rxBytes = 0;
    Unit* unit = nullptr;
    if (auto status = Begin(BridgeCall::GetQueueStatus, handle, unit)) return *status;
    rxBytes = static_cast<std::uint32_t>(ReadableBy(*unit, clock_.Monotonic()));
    return FT_OK;
}

FT_STATUS SimulatedBridge::FT_ResetDevice(FT_HANDLE handle)
{
    Unit* unit = nullptr;
    if (auto status = Begin(BridgeCall::ResetDevice, handle, unit)) return *status;
    // A chip reset empties its buffers; the port settings stay.
    unit->rx.clear();
    return FT_OK;
}

FT_STATUS SimulatedBridge::FT_Close(FT_HANDLE handle)
{
    Unit* unit = nullptr;
    if (auto status = Begin(BridgeCall::Close, handle, unit)) return *status;
    unit->handle = 0;
    unit->rx.clear();
    return FT_OK;
}

FT_STATUS SimulatedBridge::FT_GetDeviceInfo(FT_HANDLE handle, std::uint32_t& chipType)
{
    Unit* unit = nullptr;
    if (auto status = Begin(BridgeCall::GetDeviceInfo, handle, unit)) return *status;
    chipType = unit->device.chipType;
    return FT_OK;
}

FT_STATUS SimulatedBridge::FT_EE_Read(FT_HANDLE handle, ProgramImage& image)
{
    Unit* unit = nullptr;
    if (auto status = Begin(BridgeCall::EeRead, handle, unit)) return *status;
    if (!LayoutFits(image, unit->device.chipType)) return FT_INVALID_PARAMETER;
    const std::optional<ProgramImage>& stored = unit->device.eeprom;
    if (!stored) {
        std::visit([](ProgramData& p) {
            p = ProgramData{};
            p.VendorId = kFactoryVendorId;
            p.ProductId = kFactoryProductId;
        }, image);
        return FT_EEPROM_NOT_PROGRAMMED;
    }
    if (stored->index() == image.index()) {
        image = *stored;
    } else {
        // Configured in the other layout: the driver still gives the fields both layouts have.
        std::visit([&stored](ProgramData& p) {
            p = std::visit([](const ProgramData& s) { return s; }, *stored);
        }, image);
    }
    return FT_OK;
}

FT_STATUS SimulatedBridge::FT_EE_Program(FT_HANDLE handle, const ProgramImage& image)
{
    Unit* unit = nullptr;
    if (auto status = Begin(BridgeCall::EeProgram, handle, unit)) return *status;
    if (!LayoutFits(image, unit->device.chipType)) return FT_INVALID_PARAMETER;
    // The chip's string area: texts it cannot hold leave the EEPROM as it was.
    const ProgramData& p = std::visit([](const ProgramData& d) -> const ProgramData& { return d; }, image);
    if (!EepromTextsFit(p.Manufacturer, p.Description, p.SerialNumber)) return FT_INVALID_PARAMETER;
    unit->device.eeprom = image;
    return FT_OK;
}

std::string SimulatedBridge::ListingProblem(std::uint32_t index) const
{
    return index < units_.size() ? units_[index].device.listProblem : "";
}

} // namespace zem::sim
