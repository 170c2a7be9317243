#include "record/PieceKeeper.h"

#include "record/PieceOfCurve.h"

namespace zem {

PieceKeeper::PieceKeeper(PieceStore& store, std::string instrument, std::string name, int measure, int measureType)
    : store_(store), name_(std::move(name)), type_(measureType), counter_(store.LastCounter(instrument, measure).value_or(0))
{
    count_.instrument = std::move(instrument);
    count_.measure = measure;
}

// No two strokes give the same curve to the last bit: a piece with the verdict, results and curve
// of the last one kept is that piece fetched again.
bool PieceKeeper::Keep(const CompletedPiece& piece, const CurveMonitor::Work& work, std::int64_t timeUtcMs, bool& added)
{
    added = false;
    PieceRecord r = PieceOfCurve(piece, work, {count_.instrument, name_, type_, counter_ + 1, timeUtcMs});
    if (last_ && SamePiece(r, *last_)) return true;
    if (!store_.Add(r, added)) return false;
    if (!added) return true;
    ++counter_;
    ++(r.verdict == "good" ? count_.good : r.verdict == "rejected" ? count_.rejected : count_.noResults);
    count_.lastVerdict = r.verdict;
    last_ = std::move(r);
    return true;
}

} // namespace zem
