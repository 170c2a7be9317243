#pragma once

#include "diagnosis/MeasureStatistics.h"
#include "record/PieceStore.h"

#include <optional>
#include <vector>

namespace zem {

// Statistics per instrument and measure, in one pass over the store: counts, mean and spread by
// Welford's update (numerically stable), the trend as merging group means and the histogram from a
// bounded sample, so time and memory stay bounded whatever the number of pieces.
class Statistics {
public:
    struct Options {
        int bins = 10;
        std::size_t trendPoints = 200;    // at most, rounded down to even
        std::size_t sampleSize = 100'000;  // values per result kept for the histogram
    };
    // Nothing when the store failed (its Error() says why).
    static std::optional<std::vector<MeasureStatistics>> Compute(PieceStore& store, PieceFilter filter, const Options& options);
    static std::optional<std::vector<MeasureStatistics>> Compute(PieceStore& store, const PieceFilter& filter)
    {
        return Compute(store, filter, Options{});
    }
};

} // namespace zem
