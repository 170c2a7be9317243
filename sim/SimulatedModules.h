#pragma once

#include "sim/SimulatedModule.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <vector>

namespace zem::sim {

// Ethernet modules on one network segment: a command datagram reaches all of them, as a broadcast
// does, and each answers or not by itself.
class SimulatedModules {
public:
    struct Reply {
        SimulatedModule* module;
        std::vector<std::uint8_t> bytes;
    };

    explicit SimulatedModules(Clock& clock) : clock_(clock) {}
    SimulatedModules(const SimulatedModules&) = delete;
    SimulatedModules& operator=(const SimulatedModules&) = delete;

    // The module stays where it was made for as long as the set lives.
    SimulatedModule& Add(ModuleIdentity identity);
    std::size_t Count() const { return modules_.size(); }
    SimulatedModule& operator[](std::size_t index) { return modules_.at(index); }
    // The module with this MAC text, or nullptr.
    SimulatedModule* Find(const std::string& mac);

    // One datagram to every module; the replies in module order.
    std::vector<Reply> Receive(std::span<const std::uint8_t> datagram);
    // Every datagram that reached the segment, as text, in order.
    const std::vector<std::string>& Received() const { return received_; }

private:
    Clock& clock_;
    std::deque<SimulatedModule> modules_;
    std::vector<std::string> received_;
};

} // namespace zem::sim
