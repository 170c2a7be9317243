#pragma once

#include "link/Clock.h"
#include "sim/DefaultInstrument.h"
#include "tests/cli/ZemcliRun.h"
#include "usbemu/EmulatedBus.h"

#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

namespace zem::test {

// Emulated bridges, each with a simulated instrument behind it, for zemcli run with the real
// driver: the program meets the bridges through the umockdev preload it inherits.
struct EmulatedSite {
    std::size_t Add(const usbemu::Ft232rEeprom& eeprom)
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

    // Module commands stay on loopback; the password is the default one.
    ZemcliResult Zemcli(std::vector<std::string> args) const
    {
        args.insert(args.begin(), {"--broadcast", "127.0.0.1:9"});
        std::vector<std::string> environment = {"XDG_CONFIG_HOME=" + folder + "/config", "XDG_DATA_HOME=" + folder + "/data",
                                                "ZEMSETUP_PASSWORD=6150"};
        for (const char* name : {"LD_PRELOAD", "UMOCKDEV_DIR", "ASAN_OPTIONS", "UBSAN_OPTIONS", "PATH"}) {
            if (const char* value = std::getenv(name)) environment.push_back(std::string(name) + "=" + value);
        }
        return RunZemcli(args, environment, 40000);
    }

    usbemu::EmulatedBus bus;
    SystemClock clock;
    std::deque<sim::DefaultInstrument> instruments;  // a deque: the peers hold on to them
    std::string folder = std::string(std::getenv("UMOCKDEV_DIR")) + "/zemcli";
};

} // namespace zem::test
