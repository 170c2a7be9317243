#pragma once

#include "sim/InstrumentEndpoint.h"
#include "sim/SimulatedInstrument.h"
#include "sim/SimulatedMemory.h"
#include "sim/SimulatedPlatform.h"

#include <string>

namespace zem::sim {

// One instrument on the bench of the simulated platform, with the memories asked for, reached both
// through a programmed USB bridge and through its Ethernet module: what a workflow that writes an
// instrument is tried on, over either channel.
class BenchInstrument {
public:
    static constexpr const char* kSerial = "MR4B0001";
    static constexpr const char* kHost = "127.0.0.1";
    static constexpr std::uint32_t kPort = 7000;

    // `mailbox`: the configuration memory lies behind the PRAM mailbox instead of in PRAM.
    BenchInstrument(SimulatedPlatform& platform, bool mailbox = false);
    BenchInstrument(const BenchInstrument&) = delete;
    BenchInstrument& operator=(const BenchInstrument&) = delete;

    // The key texts the selection window gives for it.
    static std::string UsbKey();
    static std::string UdpKey();

    SimulatedInstrument instrument;
    SimulatedMemory memory;
    InstrumentEndpoint endpoint;
};

} // namespace zem::sim
