#include "record/Statistics.h"

#include "record/SqlitePieceStore.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <random>

namespace zem {

namespace {

// What a value needs beyond its statistics while the pass runs.
struct Running {
    double m2 = 0;  // sum of squared deviations from the running mean (Welford)
    double groupSum = 0;
    std::int64_t groupCount = 0;
    std::vector<double> sample;  // uniform over the values so far (reservoir)
};

class Accumulator {
public:
    MeasureStatistics out;

    void Add(const PieceRecord& p, const Statistics::Options& o)
    {
        ++out.pieces;
        if (p.verdict == "good") ++out.good;
        else if (p.verdict == "rejected") ++out.rejected;
        for (const ResultValue& r : p.results) {
            // A value the conversion made infinite measures nothing, and would spoil every figure.
            if (!std::isfinite(r.value)) continue;
            const std::size_t i = Value(r);
            Add(out.values[i], running_[i], r, o);
        }
    }

    void Finish(const Statistics::Options& o)
    {
        out.rejectRate = out.pieces ? static_cast<double>(out.rejected) / static_cast<double>(out.pieces) : 0;
        for (std::size_t i = 0; i < out.values.size(); ++i) Finish(out.values[i], running_[i], o);
    }

private:
    std::size_t Value(const ResultValue& r)
    {
        for (std::size_t i = 0; i < out.values.size(); ++i)
            if (out.values[i].name == r.name) return i;
        ValueStatistics& v = out.values.emplace_back();
        v.name = r.name;
        v.min = v.max = r.value;
        running_.emplace_back();
        return out.values.size() - 1;
    }

    void Add(ValueStatistics& v, Running& run, const ResultValue& r, const Statistics::Options& o)
    {
        ++v.count;
        const double delta = r.value - v.mean;
        v.mean += delta / static_cast<double>(v.count);
        run.m2 += delta * (r.value - v.mean);
        v.min = std::min(v.min, r.value);
        v.max = std::max(v.max, r.value);
        // Pieces come oldest first: what stays is the newest piece's work.
        v.lower = r.lower;
        v.upper = r.upper;
        v.unit = r.unit;
        v.decimals = r.decimals;

        if (run.sample.size() < o.sampleSize) {
            run.sample.push_back(r.value);
        } else if (const auto at = std::uniform_int_distribution<std::int64_t>(0, v.count - 1)(random_);
                   at < static_cast<std::int64_t>(o.sampleSize)) {
            run.sample[static_cast<std::size_t>(at)] = r.value;
        }

        // The trend keeps at most trendPoints group means: when full, neighbours merge and the
        // groups double, so each point stays the exact mean of its pieces.
        run.groupSum += r.value;
        if (++run.groupCount < v.trendGroup) return;
        const std::size_t most = std::max<std::size_t>(2, o.trendPoints & ~std::size_t(1));
        if (v.trend.size() == most) {
            for (std::size_t k = 0; k < most / 2; ++k) v.trend[k] = (v.trend[2 * k] + v.trend[2 * k + 1]) / 2;
            v.trend.resize(most / 2);
            v.trendGroup *= 2;
            return;
        }
        v.trend.push_back(run.groupSum / static_cast<double>(run.groupCount));
        run.groupSum = 0;
        run.groupCount = 0;
    }

    static void Finish(ValueStatistics& v, Running& run, const Statistics::Options& o)
    {
        if (run.groupCount > 0) v.trend.push_back(run.groupSum / static_cast<double>(run.groupCount));
        v.sd = v.count > 1 ? std::sqrt(run.m2 / static_cast<double>(v.count - 1)) : 0;
        if (v.sd > 0) {
            if (v.lower && v.upper) v.cp = (*v.upper - *v.lower) / (6 * v.sd);
            if (v.lower || v.upper) {
                const double toUpper = v.upper ? *v.upper - v.mean : HUGE_VAL;
                const double toLower = v.lower ? v.mean - *v.lower : HUGE_VAL;
                v.cpk = std::min(toUpper, toLower) / (3 * v.sd);
            }
        }
        v.histogram.assign(v.max > v.min ? static_cast<std::size_t>(std::max(o.bins, 1)) : 1, 0);
        const auto bins = static_cast<double>(v.histogram.size());
        std::vector<double> counts(v.histogram.size());
        for (const double x : run.sample) {
            const double at = v.max > v.min ? (x - v.min) / (v.max - v.min) * bins : 0;
            counts[static_cast<std::size_t>(std::clamp(at, 0.0, bins - 1))] += 1;
        }
        // A sample smaller than the values stands for all of them.
        const double scale = static_cast<double>(v.count) / static_cast<double>(std::max<std::size_t>(run.sample.size(), 1));
        for (std::size_t b = 0; b < counts.size(); ++b) v.histogram[b] = std::llround(counts[b] * scale);
        run.sample = {};
    }

    std::vector<Running> running_;
    std::minstd_rand random_{20261208};  // fixed: the same store gives the same histogram
};

} // namespace

std::optional<std::vector<MeasureStatistics>> Statistics::Compute(PieceStore& store, PieceFilter filter, const Options& options)
{
    filter.withCurves = false;
    std::map<std::pair<std::string, int>, Accumulator> measures;
    Accumulator* last = nullptr;  // pieces of one measure come in runs
    const auto add = [&](const PieceRecord& p) {
        if (!last || last->out.measure != p.measure || last->out.instrument != p.instrument) {
            last = &measures[{p.instrument, p.measure}];
            last->out.instrument = p.instrument;
            last->out.measure = p.measure;
        }
        last->Add(p, options);
        return true;
    };
    // The SQLite store reads only what statistics need, which is most of their time.
    auto* sqlite = dynamic_cast<SqlitePieceStore*>(&store);
    if (!(sqlite ? sqlite->ForEachJudged(filter, add) : store.ForEach(filter, add))) return std::nullopt;
    std::vector<MeasureStatistics> out;
    for (auto& [key, a] : measures) {
        a.Finish(options);
        out.push_back(std::move(a.out));
    }
    return out;
}

} // namespace zem
