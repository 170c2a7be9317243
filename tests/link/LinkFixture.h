#pragma once

#include "sim/SimulatedLink.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace zem {

// A link to the simulated instrument, counting the resynchronisations it goes through.
class LinkFixture : public ::testing::Test, public sim::SimulatedLink {
public:
    LinkFixture()
    {
        link.Noise = [this] { ++noise; };
    }

    // Installs a command that answers with its own arguments.
    void Echo(std::uint8_t code)
    {
        instrument.SetCommand(code, [](std::span<const std::uint8_t> a) {
            return std::optional<std::vector<std::uint8_t>>(std::vector<std::uint8_t>(a.begin(), a.end()));
        });
    }

    int noise = 0;
};

} // namespace zem
