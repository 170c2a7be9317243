#pragma once

#include "record/PieceRecord.h"
#include "record/Recorder.h"

#include <nlohmann/json.hpp>

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace zem::cli {

// "90", "90s", "15m", "8h" in seconds; nothing for anything else.
std::optional<double> DurationSeconds(const std::string& text);

// A kept piece as one JSON line: what the plant's broker gets, without the curve but with the
// number of its points.
nlohmann::json PieceLine(const PieceRecord& piece);

// The recorder's count on one terminal line, rewritten in place; nothing at all when not shown.
class LiveCount {
public:
    LiveCount(std::ostream& out, bool shown) : out_(out), shown_(shown) {}
    void Show(const std::vector<Recorder::Count>& counts);
    // Leaves the last count on its line.
    void End();

private:
    std::ostream& out_;
    bool shown_;
    std::string line_;
};

} // namespace zem::cli
