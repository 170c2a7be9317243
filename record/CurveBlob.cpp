#include "record/CurveBlob.h"

#include <bit>
#include <cstdint>

namespace zem {

namespace {

constexpr std::size_t kPointBytes = 8;

void Put(std::string& out, float v)
{
    const auto bits = std::bit_cast<std::uint32_t>(v);
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((bits >> shift) & 0xFF));
}

float Get(std::string_view bytes, std::size_t at)
{
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < 4; ++i) bits |= std::uint32_t(static_cast<std::uint8_t>(bytes[at + i])) << (8 * i);
    return std::bit_cast<float>(bits);
}

} // namespace

std::string CurveBlob::Encode(const std::vector<PieceRecord::Point>& curve)
{
    std::string out;
    out.reserve(curve.size() * kPointBytes);
    for (const auto& p : curve) {
        Put(out, p.position);
        Put(out, p.force);
    }
    return out;
}

bool CurveBlob::Decode(std::string_view bytes, std::vector<PieceRecord::Point>& curve)
{
    curve.clear();
    if (bytes.size() % kPointBytes != 0) return false;
    curve.reserve(bytes.size() / kPointBytes);
    for (std::size_t at = 0; at < bytes.size(); at += kPointBytes) curve.push_back({Get(bytes, at), Get(bytes, at + 4)});
    return true;
}

} // namespace zem
