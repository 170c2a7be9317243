#pragma once

#include "link/Clock.h"
#include "sim/DefaultInstrument.h"
#include "usbemu/EmulatedBus.h"

#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

namespace zem::usbemu {

// Emulated bridges, each with a simulated instrument behind it, met by this process's USB stack
// and by the programs it starts with ChildEnvironment (they inherit the umockdev preload).
struct EmulatedSite {
    std::size_t Add(const Ft232rEeprom& eeprom)
    {
        const std::size_t index = bus.Add(eeprom);
        sim::DefaultInstrument& instrument = instruments.emplace_back(clock);
        bus.Chip(index).SetPeer([&instrument](std::span<const std::uint8_t> bytes) {
            std::vector<std::uint8_t> out;
            for (const auto& t : instrument.Instrument().Receive(bytes)) out.insert(out.end(), t.bytes.begin(), t.bytes.end());
            return out;
        });
        return index;
    }

    // The testbed and the sanitizer settings, and settings and data of a user of its own.
    std::vector<std::string> ChildEnvironment() const
    {
        const std::string folder = std::string(std::getenv("UMOCKDEV_DIR")) + "/home";
        std::vector<std::string> environment = {"XDG_CONFIG_HOME=" + folder + "/config", "XDG_DATA_HOME=" + folder + "/data"};
        for (const char* name : {"LD_PRELOAD", "UMOCKDEV_DIR", "ASAN_OPTIONS", "UBSAN_OPTIONS", "PATH"}) {
            if (const char* value = std::getenv(name)) environment.push_back(std::string(name) + "=" + value);
        }
        return environment;
    }

    EmulatedBus bus;
    SystemClock clock;
    std::deque<sim::DefaultInstrument> instruments;  // a deque: the peers hold on to them
};

} // namespace zem::usbemu
