#pragma once

#include "sim/InstrumentEndpoint.h"
#include "sim/SimulatedModules.h"
#include "sim/SimulatedNetwork.h"

#include <cstdint>
#include <deque>
#include <string>

namespace zem::sim {

// The modules on the in-process network: their command endpoint at (host, port), where the
// window's broadcasts are aimed, and each module's instrument at the module's address and data
// port. Each module and its instrument answer after the module's latency, the module from its
// own address. The modules served are
// those in the set when the endpoint is made.
class ModulesEndpoint {
public:
    ModulesEndpoint(SimulatedNetwork& network, SimulatedModules& modules, std::string host, std::uint32_t port);
    ~ModulesEndpoint();
    ModulesEndpoint(const ModulesEndpoint&) = delete;
    ModulesEndpoint& operator=(const ModulesEndpoint&) = delete;

    // The instrument endpoint of module `index`, for its faults and latency.
    InstrumentEndpoint& Instrument(std::size_t index) { return instruments_.at(index); }

private:
    SimulatedNetwork& network_;
    SimulatedModules& modules_;
    std::string host_;
    std::uint32_t port_;
    std::deque<InstrumentEndpoint> instruments_;
};

} // namespace zem::sim
