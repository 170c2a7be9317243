#include "sim/SimulatedModules.h"

namespace zem::sim {

SimulatedModule& SimulatedModules::Add(ModuleIdentity identity)
{
    return modules_.emplace_back(std::move(identity), clock_);
}

SimulatedModule* SimulatedModules::Find(const std::string& mac)
{
    for (SimulatedModule& module : modules_)
        if (module.Identity().mac == mac) return &module;
    return nullptr;
}

std::vector<SimulatedModules::Reply> SimulatedModules::Receive(std::span<const std::uint8_t> datagram)
{
    received_.emplace_back(datagram.begin(), datagram.end());
    std::vector<Reply> replies;
    for (SimulatedModule& module : modules_)
        if (auto bytes = module.Receive(datagram)) replies.push_back({&module, std::move(*bytes)});
    return replies;
}

} // namespace zem::sim
