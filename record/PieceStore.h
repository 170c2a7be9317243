#pragma once

#include "record/PieceRecord.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zem {

// Which pieces a reader wants; unset fields do not filter.
struct PieceFilter {
    std::optional<std::string> instrument;
    std::optional<int> measure;
    std::optional<std::int64_t> sinceUtcMs, untilUtcMs;
    bool withCurves = false;   // curves are large: read them only when asked
};

// Where recorded pieces are kept. The embedded SQLite file is the one we ship; a server database
// for a plant that outgrows one machine implements the same interface.
class PieceStore {
public:
    virtual ~PieceStore() = default;

    // Stores the piece whole or not at all (one transaction). A piece already there (same
    // instrument, measure and counter) is not stored again: `added` is then false and the result
    // true. False only when the store failed; Error() says why.
    virtual bool Add(const PieceRecord& piece, bool& added) = 0;
    // The highest counter stored for the instrument's measure, nothing when none is.
    virtual std::optional<std::int64_t> LastCounter(const std::string& instrument, int measure) = 0;
    // The pieces the filter selects, oldest first; `each` returns false to stop early.
    virtual bool ForEach(const PieceFilter& filter, const std::function<bool(const PieceRecord&)>& each) = 0;

    // The publishing outbox: pieces not yet handed to the plant, oldest first, and the mark that
    // they were. Identities are the store's own.
    struct Outgoing {
        std::int64_t id = 0;
        PieceRecord piece;
    };
    virtual std::vector<Outgoing> Unpublished(std::size_t most) = 0;
    virtual bool MarkPublished(std::int64_t id) = 0;

    virtual std::string Error() const = 0;
};

} // namespace zem
