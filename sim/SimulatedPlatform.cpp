#include "sim/SimulatedPlatform.h"

namespace zem::sim {

SimulatedPlatform::SimulatedPlatform(double timeOfDay) : clock(timeOfDay) {}

LinkPlatform SimulatedPlatform::Platform()
{
    return {clock,
            usb,
            network,
            [this] { return network.CreateSocket(); },
            [this] { return network.CreateWindowSocket(); },
            broadcast};
}

} // namespace zem::sim
