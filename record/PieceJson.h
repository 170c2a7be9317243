#pragma once

#include "record/PieceRecord.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>

namespace zem {

// A recorded piece as the plant reads it: the instrument's texts as UTF-8, the time both as ISO 8601
// UTC and as milliseconds, limits only where the work sets them. The curve (two arrays of the same
// length) is large, so it is there only when asked for.
nlohmann::json PieceJson(const PieceRecord& piece, bool withCurve);

// "2026-12-08T08:02:40.123Z"
std::string IsoUtcMs(std::int64_t timeUtcMs);

} // namespace zem
