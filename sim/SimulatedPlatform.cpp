#include "sim/SimulatedPlatform.h"

#include <string>
#include <unistd.h>

namespace zem::sim {

SimulatedPlatform::SimulatedPlatform(double timeOfDay) : clock(timeOfDay) {}

LinkPlatform SimulatedPlatform::Platform()
{
    return {clock,
            usb,
            network,
            [this] { return network.CreateSocket(); },
            [this] { return network.CreateWindowSocket(); },
            broadcast,
            "simulated-" + std::to_string(::getpid()) + "-"};
}

} // namespace zem::sim
