#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zem {

// One value the instrument reported for a piece, with the limits of the work it was judged against
// (none where the work sets none), so that capability can be computed from the store alone.
struct ResultValue {
    std::string name;    // "Peak force", "Peak position", "Check point 3 force", "Measured value", ...
    double value = 0;
    std::optional<double> lower, upper;
    std::string unit;    // the measure's unit for that value ("kN", "mm", ...)
    int decimals = 2;
};

// A completed piece as it is kept for traceability: where and when it was made, how it was judged,
// every result and its curve.
struct PieceRecord {
    struct Point {
        float position = 0;
        float force = 0;
    };

    std::string instrument;        // the instrument key the recorder was given ("USB:ZA000123", "127.0.0.1:5001")
    std::string instrumentName;    // as the instrument names itself
    int measure = 0;               // 1..6
    int measureType = 0;           // 1 press force-position .. 4 test cylinders
    std::int64_t counter = 0;      // the piece's number for this instrument and measure, from 1, never reused
    std::int64_t timeUtcMs = 0;    // completion time, milliseconds since 1970-01-01 UTC
    std::string work;              // the work's (or phase's) name
    int workNumber = 0;
    std::string verdict;           // "good", "rejected" or "no results"
    std::int32_t rejectCauses = 0;
    std::int32_t checkPointRejectCauses = 0;
    std::vector<ResultValue> results;
    std::vector<Point> curve;      // empty for a measure without curves or a curve that could not be read
};

} // namespace zem
