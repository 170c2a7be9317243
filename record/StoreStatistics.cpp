#include "record/StoreStatistics.h"

#include "record/SinceTime.h"
#include "record/SqlitePieceStore.h"
#include "record/Statistics.h"
#include "record/StatisticsCsv.h"

#include <filesystem>

namespace zem {

StoreStatistics::StoreStatistics(WallClock wallClock) : wallClock_(std::move(wallClock)) {}

std::optional<std::string> StoreStatistics::Read(const std::string& file, const std::string& since,
                                                 std::vector<MeasureStatistics>& measures)
{
    measures.clear();
    PieceFilter filter;
    if (!since.empty()) {
        filter.sinceUtcMs = ParseSince(since, wallClock_());
        if (!filter.sinceUtcMs)
            return "Since " + since + ": " + kSinceForms + ".";
    }
    // Opening creates a missing or empty file as a new store: a viewer must not write one.
    std::error_code ec;
    const auto status = std::filesystem::status(file, ec);
    if (!std::filesystem::exists(status)) return file + ": no such file.";
    if (std::filesystem::is_regular_file(status) && std::filesystem::file_size(file, ec) == 0)
        return file + " is empty: no pieces are recorded in it.";
    std::string error;
    const auto store = SqlitePieceStore::Open(file, error);
    if (!store) return error;
    auto computed = Statistics::Compute(*store, filter);
    if (!computed) return file + ": " + store->Error();
    measures = std::move(*computed);
    return std::nullopt;
}

std::string StoreStatistics::Csv(const std::vector<MeasureStatistics>& measures) const
{
    return StatisticsCsv::Text(measures);
}

} // namespace zem
