// zemcli stats --db FILE [--measure M] [--since T] [--json] [--csv FILE|-]: the recorded pieces'
// statistics per instrument and measure: counts, reject rate, and per result value mean, spread,
// range, Cp/Cpk against the work's limits, histogram and trend.

#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "diagnosis/CurveCsv.h"
#include "profile/ScritturaAtomica.h"
#include "record/Recorder.h"
#include "record/SinceTime.h"
#include "record/SqlitePieceStore.h"
#include "record/Statistics.h"
#include "record/StatisticsCsv.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>

namespace zem::cli {

namespace {

struct StatsOptions {
    std::string db;
    std::optional<int> measure;
    std::optional<std::string> since;
    bool json = false;
    std::string csv;  // "-": standard output
    bool force = false;
};

nlohmann::json Maybe(const std::optional<double>& v) { return v ? nlohmann::json(*v) : nlohmann::json(); }

nlohmann::json Json(const MeasureStatistics& m)
{
    nlohmann::json values = nlohmann::json::array();
    for (const ValueStatistics& v : m.values)
        values.push_back({{"name", JsonText(v.name)}, {"unit", JsonText(v.unit)}, {"count", v.count}, {"mean", v.mean},
                          {"sd", v.sd}, {"min", v.min}, {"max", v.max}, {"lower", Maybe(v.lower)}, {"upper", Maybe(v.upper)},
                          {"cp", Maybe(v.cp)}, {"cpk", Maybe(v.cpk)}, {"histogram", v.histogram}, {"trend", v.trend},
                          {"trendGroup", v.trendGroup}});
    return {{"instrument", JsonText(m.instrument)}, {"measure", m.measure}, {"pieces", m.pieces}, {"good", m.good},
            {"rejected", m.rejected}, {"rejectRate", m.rejectRate}, {"values", values}};
}

std::string Padded(std::string text, std::size_t width, bool right = true)
{
    if (text.size() >= width) return text;
    const std::string pad(width - text.size(), ' ');
    return right ? pad + text : text + pad;
}

void PrintTable(const std::vector<MeasureStatistics>& measures)
{
    if (measures.empty()) std::cout << "No pieces recorded.\n";
    for (const MeasureStatistics& m : measures) {
        std::cout << m.instrument << " measure " << m.measure << ": " << m.pieces << " pieces, " << m.good << " good, "
                  << m.rejected << " rejected (" << CurveCsv::Number(100 * m.rejectRate, 2) << " %)\n";
        if (m.values.empty()) continue;
        std::cout << "  " << Padded("value", 24, false) << Padded("unit", 6, false) << Padded("count", 9)
                  << Padded("mean", 12) << Padded("sd", 12) << Padded("min", 12) << Padded("max", 12) << Padded("Cp", 8)
                  << Padded("Cpk", 8) << '\n';
        for (const ValueStatistics& v : m.values) {
            const auto capability = [](const std::optional<double>& c) { return c ? CurveCsv::Number(*c, 2) : std::string("-"); };
            std::cout << "  " << Padded(v.name, 24, false) << Padded(v.unit, 6, false) << Padded(std::to_string(v.count), 9)
                      << Padded(CurveCsv::Number(v.mean, v.decimals + 1), 12) << Padded(CurveCsv::Number(v.sd, v.decimals + 1), 12)
                      << Padded(CurveCsv::Number(v.min, v.decimals), 12) << Padded(CurveCsv::Number(v.max, v.decimals), 12)
                      << Padded(capability(v.cp), 8) << Padded(capability(v.cpk), 8) << '\n';
        }
    }
}

// A CSV file already there is replaced only with --force or once the technician agreed.
bool PuoSostituire(ui::Host& host, const StatsOptions& o)
{
    std::error_code ec;
    if (o.csv.empty() || o.csv == "-" || o.force || !std::filesystem::exists(std::filesystem::symlink_status(o.csv, ec)))
        return true;
    return host.Ask(ui::Question::ReplaceFile, o.csv + " already exists.\r\nDo you want to replace it?", ui::MsgButtons::YesNo,
                    ui::MsgIcon::Exclamation, ui::MsgAnswer::No) == ui::MsgAnswer::Yes;
}

int Stats(CliSession& session, const StatsOptions& o)
{
    PieceFilter filter;
    filter.measure = o.measure;
    if (o.since) {
        filter.sinceUtcMs = ParseSince(*o.since, Recorder::SystemTimeMs());
        if (!filter.sinceUtcMs) {
            std::cerr << "zemcli: --since " << *o.since << ": " << kSinceForms << '\n';
            return kExitUsage;
        }
    }
    if (!PuoSostituire(session.Host(), o)) return kExitRefused;
    // Without the file the recorder would create an empty store: a mistyped name says so instead.
    if (std::error_code ec; !std::filesystem::exists(o.db, ec)) {
        std::cerr << "zemcli: " << o.db << ": no such database\n";
        return kExitFailed;
    }
    std::string error;
    const auto store = SqlitePieceStore::Open(o.db, error);
    if (!store) {
        std::cerr << "zemcli: " << error << '\n';
        return kExitFailed;
    }
    const auto measures = Statistics::Compute(*store, filter);
    if (!measures) {
        std::cerr << "zemcli: " << store->Error() << '\n';
        return kExitFailed;
    }
    if (o.csv == "-") {
        std::cout << StatisticsCsv::Text(*measures) << std::flush;
    } else if (o.json) {
        nlohmann::json all = nlohmann::json::array();
        for (const auto& m : *measures) all.push_back(Json(m));
        PrintJson({{"measures", all}});
    } else {
        PrintTable(*measures);
    }
    if (!o.csv.empty() && o.csv != "-") {
        if (const auto why = ScritturaAtomica::Scrivi(o.csv, StatisticsCsv::Text(*measures))) {
            std::cerr << "zemcli: " << *why << '\n';
            return kExitFailed;
        }
    }
    return kExitDone;
}

} // namespace

void AddStatsCommand(CLI::App& app, CommandRun& run)
{
    auto o = std::make_shared<StatsOptions>();
    auto* command = app.add_subcommand("stats", "statistics of the recorded pieces per measure: counts, reject rate, mean, "
                                                "standard deviation, Cp and Cpk, histogram and trend");
    command->add_option("--db", o->db, "the database the recorder wrote")->type_name("FILE")->required();
    command->add_option("--measure", o->measure, "only this measure, 1 to 6")->type_name("M")->check(CLI::Range(1, 6).description(""));
    command->add_option("--since", o->since, "only pieces from T on: 2026-12-01, 2026-12-01T08:00:00Z (UTC) or 24h, 7d back")
        ->type_name("T");
    command->add_flag("--json", o->json, "the statistics as one JSON document {measures: [{instrument, measure, pieces, values: [...]}]}");
    command->add_option("--csv", o->csv, "write one line per measure and result value to FILE (- for stdout)")->type_name("FILE");
    command->add_flag("--force", o->force, "replace the CSV file without asking");
    command->callback([&run, o] { run = [o](CliSession& session) { return Stats(session, *o); }; });
}

} // namespace zem::cli
