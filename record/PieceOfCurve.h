#pragma once

#include "diagnosis/CompletedPiece.h"
#include "diagnosis/CurveMonitor.h"
#include "record/PieceRecord.h"

#include <cstdint>
#include <string>

namespace zem {

// Where a watched piece was made: what the record says beside the piece itself.
struct PieceOrigin {
    std::string instrument;
    std::string instrumentName;
    int measureType = 0;
    std::int64_t counter = 0;
    std::int64_t timeUtcMs = 0;
};

// A piece of a press force-position or test-cylinder measure as it is kept: the values the curve
// window shows, each with its unit and decimals, the check points' forces with the work's limits.
PieceRecord PieceOfCurve(const CompletedPiece& piece, const CurveMonitor::Work& work, const PieceOrigin& origin);

// Whether two records hold the same piece the instrument made (verdict, results and curve),
// whatever counter and time they were given.
bool SamePiece(const PieceRecord& a, const PieceRecord& b);

} // namespace zem
