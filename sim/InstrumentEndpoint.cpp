#include "sim/InstrumentEndpoint.h"

namespace zem::sim {

std::vector<std::vector<std::uint8_t>> ToDatagrams(const std::vector<Transmission>& transmissions, bool split)
{
    std::vector<std::vector<std::uint8_t>> datagrams;
    bool lastWasFramePart = false;
    for (const Transmission& t : transmissions) {
        const bool framePart = t.kind != Transmission::Kind::Stream;
        if (framePart && lastWasFramePart && !split)
            datagrams.back().insert(datagrams.back().end(), t.bytes.begin(), t.bytes.end());
        else
            datagrams.push_back(t.bytes);
        lastWasFramePart = framePart;
    }
    return datagrams;
}

InstrumentEndpoint::InstrumentEndpoint(SimulatedNetwork& network, SimulatedInstrument& instrument,
                                       std::string host, std::uint32_t port)
    : network_(network), instrument_(instrument), host_(std::move(host)), port_(port)
{
    network_.AddEndpoint(host_, port_,
                         [this](std::span<const std::uint8_t> d, const SimulatedNetwork::Sender& from) {
                             OnDatagram(d, from);
                         });
}

InstrumentEndpoint::~InstrumentEndpoint()
{
    network_.RemoveEndpoint(host_, port_);
}

void InstrumentEndpoint::OnDatagram(std::span<const std::uint8_t> datagram, const SimulatedNetwork::Sender& from)
{
    received.emplace_back(datagram.begin(), datagram.end());
    // A datagram split or delayed on its way is answered piece by piece, as the module would.
    for (Delivery& in : toInstrument.Apply({datagram.begin(), datagram.end()}))
        for (auto& d : ToDatagrams(instrument_.Receive(in.bytes), split))
            for (Delivery& out : toHost.Apply(std::move(d)))
                network_.Deliver(*from.socket, std::move(out.bytes),
                                 latencySeconds + in.delaySeconds + out.delaySeconds, host_, port_);
}

} // namespace zem::sim
