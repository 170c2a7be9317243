#include "record/Statistics.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace zem {

namespace {

struct Spread {
    double m2 = 0;        // sum of squared deviations from the running mean
    std::int64_t seen = 0;  // second pass: values met so far
    double groupSum = 0;
    std::int64_t groupCount = 0;
};

struct Accumulator {
    MeasureStatistics out;
    std::vector<Spread> spreads;

    std::size_t Find(const ResultValue& r) const
    {
        for (std::size_t i = 0; i < out.values.size(); ++i)
            if (out.values[i].name == r.name) return i;
        return out.values.size();
    }
    std::size_t Value(const ResultValue& r)
    {
        if (const std::size_t i = Find(r); i < out.values.size()) return i;
        ValueStatistics& v = out.values.emplace_back();
        v.name = r.name;
        v.min = v.max = r.value;
        spreads.emplace_back();
        return out.values.size() - 1;
    }
};

// Finds a piece's measure, remembering the last one: pieces of one measure come in runs.
class Measures {
public:
    Accumulator* Find(const PieceRecord& p, bool create)
    {
        if (last_ && last_->out.measure == p.measure && last_->out.instrument == p.instrument) return last_;
        const auto key = std::make_pair(p.instrument, p.measure);
        auto it = index_.find(key);
        if (it == index_.end()) {
            if (!create) return nullptr;
            it = index_.emplace(key, all_.size()).first;
            all_.emplace_back().out.instrument = p.instrument;
            all_.back().out.measure = p.measure;
            last_ = nullptr;  // the vector may have moved
        }
        return last_ = &all_[it->second];
    }
    std::vector<Accumulator>& All() { return all_; }

private:
    std::map<std::pair<std::string, int>, std::size_t> index_;
    std::vector<Accumulator> all_;
    Accumulator* last_ = nullptr;
};

void First(Accumulator& a, const PieceRecord& p)
{
    ++a.out.pieces;
    if (p.verdict == "good") ++a.out.good;
    else if (p.verdict == "rejected") ++a.out.rejected;
    for (const ResultValue& r : p.results) {
        const std::size_t i = a.Value(r);
        ValueStatistics& v = a.out.values[i];
        Spread& s = a.spreads[i];
        ++v.count;
        const double delta = r.value - v.mean;
        v.mean += delta / static_cast<double>(v.count);
        s.m2 += delta * (r.value - v.mean);
        v.min = std::min(v.min, r.value);
        v.max = std::max(v.max, r.value);
        // Pieces come oldest first: what stays is the newest piece's work.
        v.lower = r.lower;
        v.upper = r.upper;
        v.unit = r.unit;
        v.decimals = r.decimals;
    }
}

void Capability(ValueStatistics& v, const Spread& s, const Statistics::Options& o)
{
    v.sd = v.count > 1 ? std::sqrt(s.m2 / static_cast<double>(v.count - 1)) : 0;
    if (v.sd > 0) {
        if (v.lower && v.upper) v.cp = (*v.upper - *v.lower) / (6 * v.sd);
        if (v.lower || v.upper) {
            const double toUpper = v.upper ? *v.upper - v.mean : HUGE_VAL;
            const double toLower = v.lower ? v.mean - *v.lower : HUGE_VAL;
            v.cpk = std::min(toUpper, toLower) / (3 * v.sd);
        }
    }
    v.histogram.assign(v.max > v.min ? static_cast<std::size_t>(std::max(o.bins, 1)) : 1, 0);
    const auto points = static_cast<std::int64_t>(std::max<std::size_t>(o.trendPoints, 1));
    v.trendGroup = std::max<std::int64_t>(1, (v.count + points - 1) / points);
}

void Second(Accumulator& a, const PieceRecord& p)
{
    for (const ResultValue& r : p.results) {
        const std::size_t i = a.Find(r);
        if (i == a.out.values.size()) continue;  // recorded after the first pass
        ValueStatistics& v = a.out.values[i];
        Spread& s = a.spreads[i];
        if (s.seen == v.count) continue;
        ++s.seen;
        const auto bins = static_cast<double>(v.histogram.size());
        const double at = v.max > v.min ? (r.value - v.min) / (v.max - v.min) * bins : 0;
        const auto bin = static_cast<std::size_t>(std::clamp(at, 0.0, bins - 1));
        ++v.histogram[bin];
        s.groupSum += r.value;
        if (++s.groupCount == v.trendGroup || s.seen == v.count) {
            v.trend.push_back(s.groupSum / static_cast<double>(s.groupCount));
            s.groupSum = 0;
            s.groupCount = 0;
        }
    }
}

} // namespace

std::optional<std::vector<MeasureStatistics>> Statistics::Compute(PieceStore& store, PieceFilter filter, const Options& options)
{
    filter.withCurves = false;
    Measures measures;
    std::optional<std::int64_t> newest;
    if (!store.ForEach(filter, [&](const PieceRecord& p) {
            First(*measures.Find(p, true), p);
            newest = std::max(newest.value_or(p.timeUtcMs), p.timeUtcMs);
            return true;
        }))
        return std::nullopt;
    for (Accumulator& a : measures.All()) {
        a.out.rejectRate = a.out.pieces ? static_cast<double>(a.out.rejected) / static_cast<double>(a.out.pieces) : 0;
        for (std::size_t i = 0; i < a.out.values.size(); ++i) Capability(a.out.values[i], a.spreads[i], options);
    }
    // The recorder may be adding pieces meanwhile: the second pass sees no newer ones.
    if (newest && (!filter.untilUtcMs || *filter.untilUtcMs > *newest + 1)) filter.untilUtcMs = *newest + 1;
    if (newest && !store.ForEach(filter, [&](const PieceRecord& p) {
            if (Accumulator* a = measures.Find(p, false)) Second(*a, p);
            return true;
        }))
        return std::nullopt;
    std::vector<MeasureStatistics> out;
    for (Accumulator& a : measures.All()) out.push_back(std::move(a.out));
    return out;
}

} // namespace zem
