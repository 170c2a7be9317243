#pragma once

#include "sim/DefaultInstrument.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace zem::sim {

// The commands an Ethernet module answers, for the knobs.
enum class ModuleCommand { Discover, Select, Login, GetIP, Logout, AssignIP, Setting };

// What a module tells about itself.
struct ModuleIdentity {
    std::string mac;                 // the MAC text, as the module reports it
    std::string ip;                  // its address; a simulated module lives in 127.0.0.0/8
    std::uint32_t dataPort = 0;      // where its instrument listens (0: chosen when served on UDP)
    std::array<std::string, 3> fields{"0", "0", "0"};  // the three discovery fields between port and name
    std::string name;
};

// One simulated Ethernet module: its side of the module command protocol, and the instrument
// behind it on its data port. Only "X" and the address assignment (which names the MAC) reach
// every module; the other commands are answered by the module selected with "W" + its MAC text.
// Settings and "GIP" need a login too; without one they are rejected with "N". A command the
// module does not know is rejected with "?".
class SimulatedModule {
public:
    enum class Behaviour { Answer, Reject, Silent };

    SimulatedModule(ModuleIdentity identity, Clock& clock);
    SimulatedModule(const SimulatedModule&) = delete;
    SimulatedModule& operator=(const SimulatedModule&) = delete;

    const ModuleIdentity& Identity() const { return identity_; }
    // The data port, once the UDP server has chosen it.
    void SetDataPort(std::uint32_t port) { identity_.dataPort = port; }
    DefaultInstrument& Instrument() { return instrument_; }

    // Knobs: the command is rejected with `code` (the first byte of the reply), or not answered.
    void Reject(ModuleCommand command, char code);
    void Silence(ModuleCommand command);
    void Restore(ModuleCommand command);

    // One datagram of the protocol; the reply, or nothing when this module stays silent.
    std::optional<std::vector<std::uint8_t>> Receive(std::span<const std::uint8_t> datagram);

    bool Selected() const { return selected_; }
    bool LoggedIn() const { return loggedIn_; }
    // The setting commands accepted, in order.
    const std::vector<std::string>& Settings() const { return settings_; }

    // Time from a command to this module's reply on the in-process network.
    double latencySeconds = 200e-6;

private:
    struct Knob {
        Behaviour behaviour = Behaviour::Answer;
        char code = 'E';
    };
    std::optional<std::vector<std::uint8_t>> Reply(ModuleCommand command, std::string accepted);
    std::optional<std::vector<std::uint8_t>> SelectedCommand(const std::string& text);

    ModuleIdentity identity_;
    DefaultInstrument instrument_;
    std::map<ModuleCommand, Knob> knobs_;
    bool selected_ = false;
    bool loggedIn_ = false;
    std::vector<std::string> settings_;
};

} // namespace zem::sim
