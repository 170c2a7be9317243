#include "sim/DefaultInstrument.h"

#include <vector>

namespace zem::sim {

DefaultInstrument::DefaultInstrument()
{
    // Command 1, who the instrument is: asked first on every opening of the link.
    instrument_.SetCommand(1, [](std::span<const std::uint8_t>) {
        return std::optional<std::vector<std::uint8_t>>{{kIdentityFlags, kTypeCode}};
    });
    // Command 4, piece status of measures 1 and 2: no piece being worked.
    instrument_.SetCommand(4, [](std::span<const std::uint8_t>) {
        return std::optional<std::vector<std::uint8_t>>{{0, 0}};
    });
}

} // namespace zem::sim
