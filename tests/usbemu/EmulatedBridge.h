#pragma once

#include "link/Clock.h"
#include "link/usb/GestioneUSB.h"
#include "link/usb/LibFtdiD2xx.h"
#include "usbemu/EmulatedBus.h"
#include "usbemu/Preload.h"

#include <string>

namespace zem::test {

// The USB module over the libftdi backend, meeting emulated FT232R bridges on the real USB stack.
struct EmulatedBridge {
    static usbemu::Ft232rEeprom Programmed(const std::string& description, const std::string& serial)
    {
        return *usbemu::Ft232rEeprom::Programmed({0x0403, 0x6001, "ZEM AUTOMATION", description, serial});
    }

    // libusb learns of the bridges when its context starts: the driver comes after them.
    explicit EmulatedBridge(const usbemu::Ft232rEeprom& eeprom) : index(bus.Add(eeprom)) {}

    usbemu::EmulatedBus bus;
    std::size_t index;
    LibFtdiD2xx driver;
    SystemClock clock;
    GestioneUSB usb{driver, clock};
};

} // namespace zem::test
