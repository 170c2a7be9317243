#pragma once

#include "link/usb/D2xx.h"
#include "link/usb/UsbNodeAccess.h"

#include <deque>
#include <map>
#include <memory>

struct ftdi_context;

namespace zem {

// Real USB-serial bridges through libftdi1. The time-outs here are real time: this is the driver,
// below the link's own clock. libftdi has no receive-queue query, so what the chip has sent is
// pulled into a read-ahead buffer of our own; the queue status is what that buffer holds after
// one poll of the chip. A bridge the kernel's serial driver holds is taken from it while open and
// given back on close.
class LibFtdiD2xx final : public D2xx {
public:
    explicit LibFtdiD2xx(UsbNodeAccess access = SystemUsbNodeAccess);
    ~LibFtdiD2xx() override;  // closes the bridges still open
    LibFtdiD2xx(const LibFtdiD2xx&) = delete;
    LibFtdiD2xx& operator=(const LibFtdiD2xx&) = delete;

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

    // What the listing says of a bridge it could not open to read its serial number.
    std::string UnreadableBridgeProblem(int bus, int address) const;

private:
    struct FtdiFree {
        void operator()(ftdi_context* ftdi) const;
    };
    using Context = std::unique_ptr<ftdi_context, FtdiFree>;
    struct Bridge {
        Context ftdi;
        std::deque<std::uint8_t> readAhead;
        std::uint32_t readTimeoutMs = 0;
        bool defaultsSet = false;  // the context's EEPROM defaults, which libftdi sets only once soundly
    };

    Bridge* Find(FT_HANDLE handle);
    // Moves what the chip has sent into the read-ahead buffer; returns within a latency period.
    FT_STATUS Poll(Bridge& bridge);

    UsbNodeAccess access_;
    Context lister_;
    std::map<std::uint32_t, std::string> listingProblems_;
    // Since the last count: the serial number listed at each index, and why a bridge of that
    // serial number could not be opened.
    std::map<std::uint32_t, std::string> listedSerials_;
    std::map<std::string, std::string> openProblems_;
    std::map<FT_HANDLE, Bridge> bridges_;
    FT_HANDLE nextHandle_ = 1;
};

} // namespace zem
