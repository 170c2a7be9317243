#pragma once

#include "sim/SimulatedInstrument.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace zem::sim {

// The instrument's curve memory and its download commands: 9 sends a measure's curve from the
// start, 10 from a byte offset. The reply announces the bytes that follow (3 bytes, low first);
// the data then streams as blocks of sequence number, length and up to `bytesPerBlock` bytes.
class SimulatedCurves {
public:
    struct Point {
        std::int32_t x;
        std::int16_t y;
    };

    explicit SimulatedCurves(SimulatedInstrument& instrument);

    void SetCurve(int misura, std::vector<Point> points);  // misura 1..6
    std::size_t bytesPerBlock = 40;
    // Blocks numbered here are not sent by the next request (counted from its first block).
    std::vector<int> lostBlocks;
    // Requests are answered but no block follows, ever.
    bool silentStream = false;
    // No block holding a byte of the curve at or past this offset is sent, by any request.
    std::optional<std::size_t> cutAt;

private:
    std::optional<std::vector<std::uint8_t>> Send(std::span<const std::uint8_t> args, bool fromOffset);

    SimulatedInstrument& instrument_;
    std::array<std::vector<std::uint8_t>, 6> curves_{};
};

} // namespace zem::sim
