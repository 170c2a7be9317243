#include "cli/RecordOutput.h"

#include "record/PieceJson.h"

#include <charconv>
#include <ostream>

namespace zem::cli {

std::optional<double> DurationSeconds(const std::string& text)
{
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || value <= 0) return std::nullopt;
    const std::string unit(end, text.data() + text.size());
    if (unit.empty() || unit == "s") return value;
    if (unit == "m") return value * 60;
    if (unit == "h") return value * 3600;
    return std::nullopt;
}

nlohmann::json PieceLine(const PieceRecord& p)
{
    nlohmann::json line = PieceJson(p, false);
    line["points"] = p.curve.size();
    return line;
}

void LiveCount::Show(const std::vector<Recorder::Count>& counts)
{
    if (!shown_) return;
    std::string line;
    for (const auto& c : counts) {
        if (!line.empty()) line += " | ";
        line += c.instrument + " m" + std::to_string(c.measure) + ": " + std::to_string(c.good) + " good, "
              + std::to_string(c.rejected) + " rejected";
        if (c.noResults > 0) line += ", " + std::to_string(c.noResults) + " without results";
        if (!c.lastVerdict.empty()) line += ", last " + c.lastVerdict;
        if (!c.connected) line += " (reconnecting)";
    }
    if (line == line_) return;
    // Blanks wipe what a longer line left.
    const std::size_t wipe = line_.size() > line.size() ? line_.size() - line.size() : 0;
    out_ << '\r' << line << std::string(wipe, ' ') << std::flush;
    line_ = std::move(line);
}

void LiveCount::End()
{
    if (shown_ && !line_.empty()) out_ << std::endl;
}

} // namespace zem::cli
