#pragma once

#include "sim/LineFaults.h"
#include "sim/SimulatedInstrument.h"
#include "sim/SimulatedNetwork.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zem::sim {

// How the instrument's Ethernet module packs its answer to one datagram: echo and reply in one
// datagram, or as two; stream blocks always travel one to a datagram.
std::vector<std::vector<std::uint8_t>> ToDatagrams(const std::vector<Transmission>& transmissions, bool split);

// The instrument's Ethernet module on the simulated network: each datagram it receives goes to the
// instrument's receiver, and what the instrument transmits goes back to the sender.
class InstrumentEndpoint {
public:
    InstrumentEndpoint(SimulatedNetwork& network, SimulatedInstrument& instrument, std::string host,
                       std::uint32_t port);
    ~InstrumentEndpoint();
    InstrumentEndpoint(const InstrumentEndpoint&) = delete;
    InstrumentEndpoint& operator=(const InstrumentEndpoint&) = delete;

    bool split = false;          // echo and reply as two datagrams
    double latencySeconds = 0.0; // time from a request to the first datagram of the answer
    LineFaults toInstrument;     // faults on datagrams the host sends
    LineFaults toHost;           // faults on datagrams the module sends back
    std::vector<std::vector<std::uint8_t>> received;  // every datagram that reached the module

private:
    void OnDatagram(std::span<const std::uint8_t> datagram, const SimulatedNetwork::Sender& from);

    SimulatedNetwork& network_;
    SimulatedInstrument& instrument_;
    std::string host_;
    std::uint32_t port_;
};

} // namespace zem::sim
