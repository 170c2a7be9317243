#pragma once

#include "record/PieceStore.h"

#include <vector>

namespace zem {

// Pieces kept in memory only: for tests and benchmarks that must not touch a disk.
class MemoryPieceStore final : public PieceStore {
public:
    bool Add(const PieceRecord& piece, bool& added) override;
    std::optional<std::int64_t> LastCounter(const std::string& instrument, int measure) override;
    bool ForEach(const PieceFilter& filter, const std::function<bool(const PieceRecord&)>& each) override;
    std::vector<Outgoing> Unpublished(std::size_t most) override;
    bool MarkPublished(std::int64_t id) override;
    std::string Error() const override { return {}; }

    std::size_t Size() const { return pieces_.size(); }

private:
    struct Kept {
        PieceRecord piece;
        bool published = false;
    };
    std::vector<Kept> pieces_;  // id = index + 1
};

} // namespace zem
