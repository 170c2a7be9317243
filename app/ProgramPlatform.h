#pragma once

#include "link/LinkPlatform.h"
#include "link/SystemPlatform.h"
#include "sim/SimulatedSite.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace zem {

class D2xx;

namespace app {

// The platform a program runs on, chosen once for zemsetup and zemcli alike: this machine's USB
// bridges and network, or with --simulate the simulated site (bridges, modules and instruments
// served in-process and on 127.0.0.1) and its modules as the broadcast target unless one is given.
class ProgramPlatform {
public:
    enum class Refusal { SiteNotServed, BadBroadcast };

    // Nothing, with `why` set, when the simulated site cannot be served or the broadcast target
    // (HOST[:PORT], else $ZEMSETUP_BROADCAST for the machine) does not parse.
    static std::unique_ptr<ProgramPlatform> Open(bool simulate, const std::optional<std::string>& broadcast,
                                                 Refusal& why);
    // The refusal as the program reports it.
    static std::string Explain(Refusal why);

    ~ProgramPlatform();
    ProgramPlatform(const ProgramPlatform&) = delete;
    ProgramPlatform& operator=(const ProgramPlatform&) = delete;

    LinkPlatform Platform();
    WinSockEsclusivo& WindowPump() { return system_.WindowPump(); }
    bool Simulated() const { return site_ != nullptr; }
    // The UDP port of the simulated modules; nothing on the real machine.
    std::optional<std::uint32_t> SimulatedModulesPort() const;

private:
    ProgramPlatform(std::unique_ptr<sim::SimulatedSite> site, std::unique_ptr<D2xx> machineUsb,
                    BroadcastTarget broadcast);

    std::unique_ptr<sim::SimulatedSite> site_;
    std::unique_ptr<D2xx> machineUsb_;
    SystemPlatform system_;
};

} // namespace app
} // namespace zem
