#pragma once

#include "record/PieceStore.h"

#include <memory>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace zem {

// The pieces in one SQLite file beside nothing else: a piece row (with its outbox flag, its results
// packed as kind/value pairs and, last so that a scan need not follow its overflow pages, its curve
// as a BLOB of position/force float pairs, little endian), the results once more as rows of their
// own for plain SQL readers (value and kind: the name, unit, decimals and limits, kept once per
// kind), indexes on the time and on instrument+measure+counter (unique, which is the duplicate
// check). Reading pieces scans the piece rows alone. The file's schema version is PRAGMA user_version; an older file is migrated on opening,
// a newer one refused.
//
// Durability: WAL journal with synchronous=NORMAL. A commit appends to the WAL without an fsync;
// the WAL is synced when it is checkpointed (about every 1000 pages, and on close). So a crash of
// the program loses nothing committed, and a power loss loses at most the pieces committed since
// the last checkpoint; the file is consistent in both cases. Readers (stats) and the recorder
// share the file: a writer waits up to kBusyMs for the other's lock. One thread at a time uses a store.
class SqlitePieceStore final : public PieceStore {
public:
    static constexpr int kSchemaVersion = 1;
    static constexpr int kBusyMs = 5000;

    // Opens the file, creating it (mode 0644 less the umask) in a folder that must exist; nullptr
    // with the reason in `error` when it cannot be opened, is no store of ours or is newer.
    static std::unique_ptr<SqlitePieceStore> Open(const std::string& path, std::string& error);
    ~SqlitePieceStore() override;
    SqlitePieceStore(const SqlitePieceStore&) = delete;
    SqlitePieceStore& operator=(const SqlitePieceStore&) = delete;

    bool Add(const PieceRecord& piece, bool& added) override;
    std::optional<std::int64_t> LastCounter(const std::string& instrument, int measure) override;
    // Oldest first means in the order the pieces were stored, which is the order they completed.
    bool ForEach(const PieceFilter& filter, const std::function<bool(const PieceRecord&)>& each) override;
    // What the statistics read, sparing the columns they do not need: the same pieces as ForEach,
    // with only the instrument, measure, counter, verdict and results filled in.
    bool ForEachJudged(const PieceFilter& filter, const std::function<bool(const PieceRecord&)>& each);
    std::vector<Outgoing> Unpublished(std::size_t most) override;
    bool MarkPublished(std::int64_t id) override;
    std::string Error() const override { return error_; }

private:
    class Statement;

    explicit SqlitePieceStore(sqlite3* db);
    bool Execute(const char* sql);
    bool Fail(const std::string& what);
    bool Damaged(const std::string& what);
    bool Migrate();
    bool Insert(const PieceRecord& piece, bool& added);
    // A result's name, unit, decimals and limits are kept once, as a kind the result rows name.
    std::optional<std::int64_t> Kind(const ResultValue& r);
    bool LoadKinds();
    bool Known(std::int64_t kind) const;
    // Reads the rows of `pieces`: the piece columns with the packed results, then the curve or NULL.
    // The statement reading `columns` (of `piece p`) of the pieces the filter selects, oldest first;
    // nullptr when it cannot be prepared (Error() says why) or, with `none` set, when none can match.
    std::unique_ptr<Statement> Select(const PieceFilter& filter, const std::string& columns, bool& none);
    bool Read(Statement& pieces, const std::function<bool(std::int64_t, PieceRecord&)>& each);
    bool ReadResults(std::string_view bytes, PieceRecord& piece);

    sqlite3* db_;
    std::string error_;
    std::vector<std::optional<ResultValue>> kinds_;  // by id
};

} // namespace zem
