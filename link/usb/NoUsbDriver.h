#pragma once

#include "link/usb/D2xx.h"

namespace zem {

// The driver of a build without a USB backend: it lists no bridge and opens none, so the tool
// still reaches instruments over the network (and the simulator's bridges with --simulate).
class NoUsbDriver final : public D2xx {
public:
    FT_STATUS FT_ListDevices(std::uint32_t& indexOrNumber, std::span<char>, std::uint32_t flags) override
    {
        if (flags != FT_LIST_NUMBER_ONLY) return FT_DEVICE_NOT_FOUND;
        indexOrNumber = 0;
        return FT_OK;
    }
    FT_STATUS FT_OpenEx(const std::string&, std::uint32_t, FT_HANDLE&) override { return FT_DEVICE_NOT_FOUND; }
    FT_STATUS FT_SetBaudRate(FT_HANDLE, std::uint32_t) override { return FT_INVALID_HANDLE; }
    FT_STATUS FT_SetDataCharacteristics(FT_HANDLE, std::uint8_t, std::uint8_t, std::uint8_t) override
    {
        return FT_INVALID_HANDLE;
    }
    FT_STATUS FT_SetFlowControl(FT_HANDLE, std::uint16_t, std::uint8_t, std::uint8_t) override { return FT_INVALID_HANDLE; }
    FT_STATUS FT_SetUSBParameters(FT_HANDLE, std::uint32_t, std::uint32_t) override { return FT_INVALID_HANDLE; }
    FT_STATUS FT_SetLatencyTimer(FT_HANDLE, std::uint8_t) override { return FT_INVALID_HANDLE; }
    FT_STATUS FT_SetTimeouts(FT_HANDLE, std::uint32_t, std::uint32_t) override { return FT_INVALID_HANDLE; }
    FT_STATUS FT_SetResetPipeRetryCount(FT_HANDLE, std::uint32_t) override { return FT_INVALID_HANDLE; }
    FT_STATUS FT_Write(FT_HANDLE, std::span<const std::uint8_t>, std::uint32_t& written) override
    {
        written = 0;
        return FT_INVALID_HANDLE;
    }
    FT_STATUS FT_Read(FT_HANDLE, std::span<std::uint8_t>, std::uint32_t& received) override
    {
        received = 0;
        return FT_INVALID_HANDLE;
    }
    FT_STATUS FT_GetQueueStatus(FT_HANDLE, std::uint32_t& rxBytes) override
    {
        rxBytes = 0;
        return FT_INVALID_HANDLE;
    }
    FT_STATUS FT_ResetDevice(FT_HANDLE) override { return FT_INVALID_HANDLE; }
    FT_STATUS FT_Close(FT_HANDLE) override { return FT_INVALID_HANDLE; }
    FT_STATUS FT_GetDeviceInfo(FT_HANDLE, std::uint32_t&) override { return FT_INVALID_HANDLE; }
    FT_STATUS FT_EE_Read(FT_HANDLE, ProgramImage&) override { return FT_INVALID_HANDLE; }
    FT_STATUS FT_EE_Program(FT_HANDLE, const ProgramImage&) override { return FT_INVALID_HANDLE; }
};

} // namespace zem
