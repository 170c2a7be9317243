#include "sim/ModulesEndpoint.h"

namespace zem::sim {

ModulesEndpoint::ModulesEndpoint(SimulatedNetwork& network, SimulatedModules& modules, std::string host,
                                 std::uint32_t port)
    : network_(network), modules_(modules), host_(std::move(host)), port_(port)
{
    for (std::size_t i = 0; i < modules_.Count(); ++i) {
        SimulatedModule& module = modules_[i];
        instruments_.emplace_back(network_, module.Instrument().Instrument(), module.Identity().ip,
                                  module.Identity().dataPort);
        instruments_.back().latencySeconds = module.latencySeconds;
    }
    network_.AddEndpoint(host_, port_, [this](std::span<const std::uint8_t> datagram,
                                              const SimulatedNetwork::Sender& from) {
        for (auto& reply : modules_.Receive(datagram))
            network_.Deliver(*from.socket, std::move(reply.bytes), reply.module->latencySeconds,
                             reply.module->Identity().ip, port_);
    });
}

ModulesEndpoint::~ModulesEndpoint() { network_.RemoveEndpoint(host_, port_); }

} // namespace zem::sim
