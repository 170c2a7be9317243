#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zem {

// What one result value did over the selected pieces of a measure.
struct ValueStatistics {
    std::string name, unit;
    int decimals = 2;
    std::int64_t count = 0;
    double mean = 0, sd = 0, min = 0, max = 0;  // sd: sample standard deviation (n - 1); 0 below two values
    std::optional<double> lower, upper;        // the limits of the newest piece's work
    std::optional<double> cp, cpk;             // none without the limits they need or without spread
    // Bins of equal width over min..max, the last one including max; counted on a uniform sample
    // of the values when there are more than the sample holds, and scaled to `count`.
    std::vector<std::int64_t> histogram;
    // In time order: each value, or, with more pieces than trend points, the mean of each group
    // of `trendGroup` consecutive pieces (the last group may be smaller); `trendGroup` is a power
    // of two and there are at least half as many points as the options allow.
    std::vector<double> trend;
    std::int64_t trendGroup = 1;
};

struct MeasureStatistics {
    std::string instrument;
    int measure = 0;
    std::int64_t pieces = 0, good = 0, rejected = 0;
    double rejectRate = 0;  // rejected / pieces
    std::vector<ValueStatistics> values;  // in the order the values first appeared
};

} // namespace zem
