#pragma once

#include "diagnosis/CompletedPiece.h"
#include "diagnosis/CurveMonitor.h"
#include "record/PieceRecord.h"
#include "record/PieceStore.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zem {

// Somewhere else a recorded piece goes once it is stored (the plant's broker, a JSON stream).
using PieceSink = std::function<void(const PieceRecord&)>;

// What the live count shows of one watched measure.
struct PieceCount {
    std::string instrument;
    int measure = 0;
    int good = 0, rejected = 0, noResults = 0;
    std::string lastVerdict;
    bool connected = false;
};

// Keeps the pieces of one instrument's measure in the store: numbers them on from the last
// counter stored, leaves out a piece that is the one kept last (fetched twice), counts them.
class PieceKeeper {
public:
    PieceKeeper(PieceStore& store, std::string instrument, std::string name, int measure, int measureType);

    // True when the piece is stored or was the last one again (`added` says which); false when the
    // store failed (its Error says why).
    bool Keep(const CompletedPiece& piece, const CurveMonitor::Work& work, std::int64_t timeUtcMs, bool& added);

    const PieceRecord* Last() const { return last_ ? &*last_ : nullptr; }
    const PieceCount& Count() const { return count_; }

private:
    PieceStore& store_;
    std::string name_;
    int type_;
    std::int64_t counter_;
    std::optional<PieceRecord> last_;
    PieceCount count_;
};

} // namespace zem
