#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace zem {

// The instrument stores and sends every multi-byte value low byte first.

inline std::array<std::uint8_t, 2> Byte16(std::uint32_t v)
{
    return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)};
}

inline std::array<std::uint8_t, 3> Byte24(std::uint32_t v)
{
    return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16)};
}

inline std::uint16_t Leggi16(std::span<const std::uint8_t> b, std::size_t at)
{
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

inline std::uint32_t Leggi24(std::span<const std::uint8_t> b, std::size_t at)
{
    return b[at] | (std::uint32_t{b[at + 1]} << 8) | (std::uint32_t{b[at + 2]} << 16);
}

} // namespace zem
