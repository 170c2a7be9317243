#pragma once

#include "record/PieceRecord.h"

#include <string>
#include <string_view>
#include <vector>

namespace zem {

// A curve as stored: position then force per point, each an IEEE 754 single, low byte first,
// so a file reads the same on any machine.
class CurveBlob {
public:
    static std::string Encode(const std::vector<PieceRecord::Point>& curve);
    // False (and `curve` empty) when the bytes are no whole number of points.
    static bool Decode(std::string_view bytes, std::vector<PieceRecord::Point>& curve);
};

} // namespace zem
