#pragma once

#include "diagnosis/StatisticsSource.h"

#include <cstdint>
#include <functional>

namespace zem {

// The statistics window's source: the file's SQLite store, opened as zemcli stats opens it (never
// created), through Statistics and StatisticsCsv.
class StoreStatistics final : public StatisticsSource {
public:
    // Milliseconds since 1970-01-01 UTC: where a span typed as "since" counts back from.
    using WallClock = std::function<std::int64_t()>;

    explicit StoreStatistics(WallClock wallClock);

    std::optional<std::string> Read(const std::string& file, const std::string& since,
                                    std::vector<MeasureStatistics>& measures) override;
    std::string Csv(const std::vector<MeasureStatistics>& measures) const override;

private:
    WallClock wallClock_;
};

} // namespace zem
