#include "record/MemoryPieceStore.h"

#include <algorithm>

namespace zem {

namespace {

bool Same(const PieceRecord& a, const PieceRecord& b)
{
    return a.instrument == b.instrument && a.measure == b.measure && a.counter == b.counter;
}

bool Selected(const PieceFilter& f, const PieceRecord& p)
{
    return (!f.instrument || *f.instrument == p.instrument) && (!f.measure || *f.measure == p.measure)
        && (!f.sinceUtcMs || p.timeUtcMs >= *f.sinceUtcMs) && (!f.untilUtcMs || p.timeUtcMs <= *f.untilUtcMs);
}

} // namespace

bool MemoryPieceStore::Add(const PieceRecord& piece, bool& added)
{
    added = std::none_of(pieces_.begin(), pieces_.end(), [&](const Kept& k) { return Same(k.piece, piece); });
    if (added) pieces_.push_back({piece, false});
    return true;
}

std::optional<std::int64_t> MemoryPieceStore::LastCounter(const std::string& instrument, int measure)
{
    std::optional<std::int64_t> last;
    for (const auto& k : pieces_)
        if (k.piece.instrument == instrument && k.piece.measure == measure) last = std::max(last.value_or(0), k.piece.counter);
    return last;
}

bool MemoryPieceStore::ForEach(const PieceFilter& filter, const std::function<bool(const PieceRecord&)>& each)
{
    for (const auto& k : pieces_) {
        if (!Selected(filter, k.piece)) continue;
        if (filter.withCurves) {
            if (!each(k.piece)) break;
            continue;
        }
        PieceRecord bare = k.piece;
        bare.curve.clear();
        if (!each(bare)) break;
    }
    return true;
}

std::vector<PieceStore::Outgoing> MemoryPieceStore::Unpublished(std::size_t most)
{
    std::vector<Outgoing> out;
    for (std::size_t i = 0; i < pieces_.size() && out.size() < most; ++i)
        if (!pieces_[i].published) out.push_back({static_cast<std::int64_t>(i + 1), pieces_[i].piece});
    return out;
}

bool MemoryPieceStore::MarkPublished(std::int64_t id)
{
    if (id < 1 || static_cast<std::size_t>(id) > pieces_.size()) return false;
    pieces_[static_cast<std::size_t>(id - 1)].published = true;
    return true;
}

} // namespace zem
