#pragma once

#include "sim/SimulatedModules.h"
#include "sim/UdpInstrumentServer.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <netinet/in.h>
#include <span>
#include <thread>
#include <vector>

namespace zem {
class Clock;
}

namespace zem::sim {

// The modules on UDP loopback: one command socket on 127.0.0.1 that every module hears (aim the
// broadcast there), each module answering from its own address (127.0.0.x), and each module's
// instrument served at the module's address and data port (a data port of 0 is chosen by the
// system and written back into the module, so that its discovery reply names it). Replies go at
// once; the modules' latency is for the in-process network only.
//
// Drive it with Poll() from the owner's loop, or Start() it on threads of its own (then leave the
// modules alone until Stop()).
class UdpModuleServer {
public:
    UdpModuleServer(SimulatedModules& modules, Clock& clock, std::uint16_t port = 0);
    ~UdpModuleServer();
    UdpModuleServer(const UdpModuleServer&) = delete;
    UdpModuleServer& operator=(const UdpModuleServer&) = delete;

    // False when a socket cannot be had (a module address outside 127.0.0.0/8, a port in use).
    bool Open();
    // The command port, 0 before Open.
    std::uint16_t Port() const { return port_; }
    UdpInstrumentServer& Instrument(std::size_t index) { return *instruments_.at(index); }

    // Waits at most `maxWaitSeconds` for a command, answers every command waiting and serves the
    // instruments; returns the number of datagrams received.
    int Poll(double maxWaitSeconds);
    bool Start();
    void Stop();

private:
    int PollCommands(double maxWaitSeconds);
    void Reply(std::span<const std::uint8_t> bytes, const std::string& fromAddress, const sockaddr_in& to);

    SimulatedModules& modules_;
    Clock& clock_;
    std::uint16_t requestedPort_;
    std::uint16_t port_ = 0;
    int fd_ = -1;
    int wake_[2] = {-1, -1};
    std::vector<std::unique_ptr<UdpInstrumentServer>> instruments_;
    std::vector<std::uint8_t> receive_;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
};

} // namespace zem::sim
