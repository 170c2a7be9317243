#include "sim/SimulatedCurves.h"

#include <algorithm>

namespace zem::sim {

SimulatedCurves::SimulatedCurves(SimulatedInstrument& instrument) : instrument_(instrument)
{
    instrument_.SetCommand(9, [this](std::span<const std::uint8_t> a) { return Send(a, false); });
    instrument_.SetCommand(10, [this](std::span<const std::uint8_t> a) { return Send(a, true); });
}

void SimulatedCurves::SetCurve(int misura, std::vector<Point> points)
{
    auto& bytes = curves_.at(static_cast<std::size_t>(misura - 1));
    bytes.clear();
    for (const Point& p : points) {
        const auto x = static_cast<std::uint32_t>(p.x);
        const auto y = static_cast<std::uint16_t>(p.y);
        bytes.insert(bytes.end(), {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(x >> 8),
                                   static_cast<std::uint8_t>(x >> 16), static_cast<std::uint8_t>(y),
                                   static_cast<std::uint8_t>(y >> 8)});
    }
}

std::optional<std::vector<std::uint8_t>> SimulatedCurves::Send(std::span<const std::uint8_t> args, bool fromOffset)
{
    if (args.empty() || args[0] >= curves_.size() || (fromOffset && args.size() < 4)) return std::nullopt;
    const auto& bytes = curves_[args[0]];
    const std::size_t from = fromOffset ? std::size_t{args[1]} | (std::size_t{args[2]} << 8) | (std::size_t{args[3]} << 16) : 0;
    if (from > bytes.size()) return std::nullopt;
    const std::size_t rest = bytes.size() - from;
    const std::size_t block = std::clamp<std::size_t>(bytesPerBlock, 1, 255);
    std::uint8_t sequence = 0;
    int number = 0;
    for (std::size_t pos = from; pos < bytes.size(); pos += block, ++number, ++sequence) {
        const std::size_t n = std::min(block, bytes.size() - pos);
        if (silentStream || (cutAt && pos + n > *cutAt) || std::find(lostBlocks.begin(), lostBlocks.end(), number) != lostBlocks.end()) continue;
        std::vector<std::uint8_t> b{sequence, static_cast<std::uint8_t>(n)};
        b.insert(b.end(), bytes.begin() + static_cast<std::ptrdiff_t>(pos), bytes.begin() + static_cast<std::ptrdiff_t>(pos + n));
        instrument_.EmitStream(std::move(b));
    }
    lostBlocks.clear();
    return std::vector<std::uint8_t>{static_cast<std::uint8_t>(rest), static_cast<std::uint8_t>(rest >> 8),
                                     static_cast<std::uint8_t>(rest >> 16)};
}

} // namespace zem::sim
