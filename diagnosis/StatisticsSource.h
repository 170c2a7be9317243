#pragma once

#include "diagnosis/MeasureStatistics.h"

#include <optional>
#include <string>
#include <vector>

namespace zem {

// The statistics of a file of recorded pieces, for the statistics window. The program gives the
// window the recorder's implementation; the window itself knows no store.
class StatisticsSource {
public:
    virtual ~StatisticsSource() = default;

    // The statistics per instrument and measure of the pieces in `file`, from `since` on unless it
    // is empty (a UTC date or time, or a span back: "2026-12-01", "2026-12-01T08:00:00Z", "24h").
    // Nothing when they could be read, else the message for the technician.
    virtual std::optional<std::string> Read(const std::string& file, const std::string& since,
                                            std::vector<MeasureStatistics>& measures) = 0;
    // The statistics as the CSV file keeps them.
    virtual std::string Csv(const std::vector<MeasureStatistics>& measures) const = 0;
};

} // namespace zem
