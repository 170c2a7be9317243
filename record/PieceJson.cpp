#include "record/PieceJson.h"

#include "profile/InstrumentText.h"

#include <charconv>
#include <cstdio>
#include <ctime>

namespace zem {

namespace {

// Instrument names, works and result names are the instrument's Windows-1252 bytes; JSON wants UTF-8.
std::string Utf8(const std::string& bytes) { return InstrumentText(bytes).Utf8(); }

// A curve point is a float; widened as it stands it prints as 0.10000000149011612. The float's own
// shortest text read back as a double prints as 0.1.
double Shortest(float value)
{
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, value);
    double widened = value;
    std::from_chars(text, written.ptr, widened);
    return widened;
}

nlohmann::json ResultJson(const ResultValue& r)
{
    nlohmann::json j{{"name", Utf8(r.name)}, {"value", r.value}, {"unit", Utf8(r.unit)}, {"decimals", r.decimals}};
    if (r.lower) j["lower"] = *r.lower;
    if (r.upper) j["upper"] = *r.upper;
    return j;
}

} // namespace

std::string IsoUtcMs(std::int64_t timeUtcMs)
{
    // Floor division, so a time before 1970 still gets a millisecond part from 0 to 999.
    std::int64_t seconds = timeUtcMs / 1000;
    std::int64_t ms = timeUtcMs % 1000;
    if (ms < 0) {
        ms += 1000;
        --seconds;
    }
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm utc{};
    gmtime_r(&t, &utc);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900, utc.tm_mon + 1,
                  utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, static_cast<int>(ms));
    return text;
}

nlohmann::json PieceJson(const PieceRecord& piece, bool withCurve)
{
    nlohmann::json results = nlohmann::json::array();
    for (const auto& r : piece.results) results.push_back(ResultJson(r));
    nlohmann::json j{
        {"instrument", Utf8(piece.instrument)},
        {"name", Utf8(piece.instrumentName)},
        {"measure", piece.measure},
        {"type", piece.measureType},
        {"counter", piece.counter},
        {"time", IsoUtcMs(piece.timeUtcMs)},
        {"timeMs", piece.timeUtcMs},
        {"work", Utf8(piece.work)},
        {"workNumber", piece.workNumber},
        {"verdict", piece.verdict},
        {"rejectCauses", piece.rejectCauses},
        {"checkPointRejectCauses", piece.checkPointRejectCauses},
        {"results", std::move(results)},
    };
    if (withCurve) {
        nlohmann::json position = nlohmann::json::array(), force = nlohmann::json::array();
        for (const auto& p : piece.curve) {
            position.push_back(Shortest(p.position));
            force.push_back(Shortest(p.force));
        }
        j["curve"] = {{"position", std::move(position)}, {"force", std::move(force)}};
    }
    return j;
}

} // namespace zem
