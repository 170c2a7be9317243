#pragma once

#include "link/usb/GestioneUSB.h"
#include "sim/FakeClock.h"
#include "sim/SimulatedBridge.h"

#include <gtest/gtest.h>

#include <string>

namespace zem {

// GestioneUSB over a bus of simulated bridges, on fake time; a fresh one for each case of a table.
struct UsbFixture {
    // An EEPROM image of either chip family carrying these texts.
    template <typename Image = ProgramDataNewer>
    static Image Programmed(std::string description, std::string serial)
    {
        Image image;
        image.VendorId = 0x0403;
        image.ProductId = 0x6001;
        image.Description = std::move(description);
        image.SerialNumber = std::move(serial);
        image.SerNumEnable = 1;
        return image;
    }

    // A bridge of a newer chip whose EEPROM carries these texts; the bus reports the same serial.
    std::size_t AddProgrammed(const std::string& description, const std::string& serial)
    {
        return bridge.AddDevice({serial, FT_DEVICE_232R, Programmed(description, serial)});
    }

    // Opens bridge `index` straight through the driver, as the EEPROM tools get their handle.
    FT_HANDLE OpenDirectly(std::size_t index)
    {
        FT_HANDLE handle = 0;
        EXPECT_EQ(bridge.FT_OpenEx(bridge.Device(index).serial, FT_OPEN_BY_SERIAL_NUMBER, handle), FT_OK);
        return handle;
    }

    sim::FakeClock clock;
    sim::SimulatedBridge bridge{clock};
    GestioneUSB usb{bridge, clock};
};

} // namespace zem
