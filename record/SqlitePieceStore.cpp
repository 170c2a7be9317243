#include "record/SqlitePieceStore.h"

#include "record/CurveBlob.h"
#include "record/SqliteResultBlob.h"

#include <sqlite3.h>

#include <array>
#include <cstring>

namespace zem {

namespace {

// Step N takes a file from schema version N to N + 1; a new version adds a step, never edits one.
constexpr std::array<const char*, SqlitePieceStore::kSchemaVersion> kMigrations = {
    R"(CREATE TABLE piece(
           id INTEGER PRIMARY KEY,
           instrument TEXT NOT NULL,
           instrument_name TEXT NOT NULL,
           measure INTEGER NOT NULL,
           measure_type INTEGER NOT NULL,
           counter INTEGER NOT NULL,
           time_utc_ms INTEGER NOT NULL,
           work TEXT NOT NULL,
           work_number INTEGER NOT NULL,
           verdict TEXT NOT NULL,
           reject_causes INTEGER NOT NULL,
           check_point_reject_causes INTEGER NOT NULL,
           published INTEGER NOT NULL DEFAULT 0,
           results BLOB NOT NULL,
           curve BLOB NOT NULL);
       CREATE UNIQUE INDEX piece_identity ON piece(instrument, measure, counter);
       CREATE INDEX piece_time ON piece(time_utc_ms);
       CREATE INDEX piece_outbox ON piece(id) WHERE published = 0;
       CREATE TABLE result_kind(
           id INTEGER PRIMARY KEY,
           name TEXT NOT NULL,
           unit TEXT NOT NULL,
           decimals INTEGER NOT NULL,
           lower REAL,
           upper REAL);
       CREATE TABLE result(
           piece_id INTEGER NOT NULL REFERENCES piece(id),
           position INTEGER NOT NULL,
           kind INTEGER NOT NULL REFERENCES result_kind(id),
           value REAL NOT NULL,
           PRIMARY KEY(piece_id, position)) WITHOUT ROWID;)",
};

constexpr const char* kPieceColumns =
    "p.id, p.instrument, p.instrument_name, p.measure, p.measure_type, p.counter, p.time_utc_ms, p.work, "
    "p.work_number, p.verdict, p.reject_causes, p.check_point_reject_causes, p.results";

bool SameKind(const ResultValue& a, const ResultValue& b)
{
    return a.name == b.name && a.unit == b.unit && a.decimals == b.decimals && a.lower == b.lower && a.upper == b.upper;
}

void Assign(std::string& to, sqlite3_stmt* s, int column)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
    to.assign(text ? text : "", static_cast<std::size_t>(sqlite3_column_bytes(s, column)));
}

std::string Text(sqlite3_stmt* s, int column)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
    return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(s, column))) : std::string();
}

std::string_view Bytes(sqlite3_stmt* s, int column)
{
    const auto* blob = static_cast<const char*>(sqlite3_column_blob(s, column));
    return blob ? std::string_view(blob, static_cast<std::size_t>(sqlite3_column_bytes(s, column))) : std::string_view();
}

std::optional<double> Real(sqlite3_stmt* s, int column)
{
    if (sqlite3_column_type(s, column) == SQLITE_NULL) return std::nullopt;
    return sqlite3_column_double(s, column);
}

} // namespace

// A prepared statement, finalized with its owner.
class SqlitePieceStore::Statement {
public:
    Statement(sqlite3* db, const std::string& sql)
    {
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &s_, nullptr) != SQLITE_OK) s_ = nullptr;
    }
    ~Statement() { sqlite3_finalize(s_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    explicit operator bool() const { return s_ != nullptr; }
    sqlite3_stmt* get() const { return s_; }
    void Bind(int i, std::int64_t v) { sqlite3_bind_int64(s_, i, v); }
    void Bind(int i, const std::string& v) { sqlite3_bind_text(s_, i, v.data(), static_cast<int>(v.size()), SQLITE_STATIC); }
    void Bind(int i, const std::optional<double>& v)
    {
        if (v) sqlite3_bind_double(s_, i, *v);
        else sqlite3_bind_null(s_, i);
    }
    void BindBlob(int i, const std::string& v) { sqlite3_bind_blob(s_, i, v.data(), static_cast<int>(v.size()), SQLITE_STATIC); }
    int Step() { return sqlite3_step(s_); }

private:
    sqlite3_stmt* s_ = nullptr;
};

std::unique_ptr<SqlitePieceStore> SqlitePieceStore::Open(const std::string& path, std::string& error)
{
    sqlite3* db = nullptr;
    const int opened = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOFOLLOW | SQLITE_OPEN_NOMUTEX, nullptr);
    if (opened != SQLITE_OK) {
        error = "Cannot open the database " + path + ": " + (db ? sqlite3_errmsg(db) : sqlite3_errstr(opened));
        if (db && sqlite3_system_errno(db) != 0) error += std::string(" (") + std::strerror(sqlite3_system_errno(db)) + ")";
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, kBusyMs);
    std::unique_ptr<SqlitePieceStore> store(new SqlitePieceStore(db));
    if (!store->Migrate()) {
        error = "Cannot open the database " + path + ": " + store->Error();
        return nullptr;
    }
    return store;
}

SqlitePieceStore::SqlitePieceStore(sqlite3* db) : db_(db) {}

SqlitePieceStore::~SqlitePieceStore() { sqlite3_close(db_); }

bool SqlitePieceStore::Fail(const std::string& what)
{
    error_ = what + ": " + sqlite3_errmsg(db_);
    return false;
}

bool SqlitePieceStore::Damaged(const std::string& what)
{
    error_ = what;  // SQLite read it well: its message would only mislead
    return false;
}

bool SqlitePieceStore::Execute(const char* sql)
{
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK) return true;
    const std::string statement(sql);
    return Fail(statement.substr(0, statement.find_first_of("(=\n")));
}

bool SqlitePieceStore::Migrate()
{
    const auto version = [this]() -> std::optional<int> {
        Statement s(db_, "PRAGMA user_version");
        if (!s || s.Step() != SQLITE_ROW) return std::nullopt;
        return sqlite3_column_int(s.get(), 0);
    };
    const auto first = version();
    if (!first) return Fail("not a database");
    if (*first > kSchemaVersion) {
        error_ = "the file was written by a newer ZEM Setup (schema version " + std::to_string(*first)
            + "; this one reads up to " + std::to_string(kSchemaVersion) + ")";
        return false;
    }
    if (Statement mode(db_, "PRAGMA journal_mode=WAL"); !mode || mode.Step() != SQLITE_ROW || Text(mode.get(), 0) != "wal")
        return Fail("the journal cannot be put in WAL mode");
    // Reading through a map spares a copy per page: the statistics read every page of the file.
    if (!Execute("PRAGMA synchronous=NORMAL") || !Execute("PRAGMA mmap_size=1073741824")) return false;
    if (*first == kSchemaVersion) return true;  // nothing to write: a read-only copy opens too
    // Each step runs in its own transaction, re-reading the version inside it, so two programs
    // opening an old file at once migrate it once.
    for (;;) {
        if (!Execute("BEGIN IMMEDIATE")) return false;
        const auto now = version();
        if (now && *now >= kSchemaVersion) return Execute("COMMIT");
        bool ok = now.has_value();
        if (ok && *now == 0) {
            Statement tables(db_, "SELECT count(*) FROM sqlite_schema");
            ok = tables && tables.Step() == SQLITE_ROW;
            if (ok && sqlite3_column_int(tables.get(), 0) != 0) {
                Execute("ROLLBACK");
                error_ = "the file is a database of another program";
                return false;
            }
        }
        const std::string setVersion = "PRAGMA user_version=" + std::to_string(ok ? *now + 1 : 0);
        if (!ok || !Execute(kMigrations[static_cast<std::size_t>(*now)]) || !Execute(setVersion.c_str()) || !Execute("COMMIT")) {
            const std::string why = error_;
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            error_ = why.empty() ? "the schema cannot be read" : why;
            return false;
        }
    }
}

bool SqlitePieceStore::Add(const PieceRecord& piece, bool& added)
{
    added = false;
    if (!Execute("BEGIN IMMEDIATE")) return false;
    if (Insert(piece, added) && Execute("COMMIT")) return true;
    const std::string why = error_;
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    kinds_.clear();  // kinds added in the transaction are gone with it
    error_ = why;
    added = false;
    return false;
}

bool SqlitePieceStore::Insert(const PieceRecord& piece, bool& added)
{
    Statement row(db_, "INSERT INTO piece(instrument, instrument_name, measure, measure_type, counter, time_utc_ms, work, "
                       "work_number, verdict, reject_causes, check_point_reject_causes, results, curve) "
                       "VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?) ON CONFLICT(instrument, measure, counter) DO NOTHING");
    if (!row) return Fail("cannot store a piece");
    std::vector<std::int64_t> kinds;
    std::string results;
    for (const ResultValue& r : piece.results) {
        const auto kind = Kind(r);
        if (!kind) return false;
        kinds.push_back(*kind);
        SqliteResultBlob::Append(results, static_cast<std::uint32_t>(*kind), r.value);
    }
    const std::string curve = CurveBlob::Encode(piece.curve);
    row.Bind(1, piece.instrument);
    row.Bind(2, piece.instrumentName);
    row.Bind(3, piece.measure);
    row.Bind(4, piece.measureType);
    row.Bind(5, piece.counter);
    row.Bind(6, piece.timeUtcMs);
    row.Bind(7, piece.work);
    row.Bind(8, piece.workNumber);
    row.Bind(9, piece.verdict);
    row.Bind(10, piece.rejectCauses);
    row.Bind(11, piece.checkPointRejectCauses);
    row.BindBlob(12, results);
    row.BindBlob(13, curve);
    if (row.Step() != SQLITE_DONE) return Fail("cannot store piece " + std::to_string(piece.counter));
    if (sqlite3_changes(db_) == 0) return true;  // already there
    const std::int64_t id = sqlite3_last_insert_rowid(db_);

    Statement result(db_, "INSERT INTO result(piece_id, position, kind, value) VALUES(?,?,?,?)");
    if (!result) return Fail("cannot store a result");
    for (std::size_t i = 0; i < piece.results.size(); ++i) {
        const ResultValue& r = piece.results[i];
        sqlite3_reset(result.get());
        result.Bind(1, id);
        result.Bind(2, static_cast<std::int64_t>(i));
        result.Bind(3, kinds[i]);
        result.Bind(4, std::optional<double>(r.value));
        if (result.Step() != SQLITE_DONE) return Fail("cannot store the result " + r.name);
    }
    added = true;
    return true;
}

std::optional<std::int64_t> SqlitePieceStore::LastCounter(const std::string& instrument, int measure)
{
    Statement s(db_, "SELECT max(counter) FROM piece WHERE instrument = ? AND measure = ?");
    if (!s) {
        Fail("cannot read the last counter");
        return std::nullopt;
    }
    s.Bind(1, instrument);
    s.Bind(2, measure);
    if (s.Step() != SQLITE_ROW) {
        Fail("cannot read the last counter");
        return std::nullopt;
    }
    if (sqlite3_column_type(s.get(), 0) == SQLITE_NULL) return std::nullopt;
    return sqlite3_column_int64(s.get(), 0);
}

bool SqlitePieceStore::Known(std::int64_t kind) const
{
    return kind >= 0 && static_cast<std::size_t>(kind) < kinds_.size() && kinds_[static_cast<std::size_t>(kind)];
}

bool SqlitePieceStore::LoadKinds()
{
    kinds_.clear();
    Statement s(db_, "SELECT id, name, unit, decimals, lower, upper FROM result_kind");
    if (!s) return Fail("cannot read the result kinds");
    int step;
    while ((step = s.Step()) == SQLITE_ROW) {
        const auto id = sqlite3_column_int64(s.get(), 0);
        if (id < 0 || id > 1'000'000) return Fail("the result kinds are damaged");
        if (kinds_.size() <= static_cast<std::size_t>(id)) kinds_.resize(static_cast<std::size_t>(id) + 1);
        kinds_[static_cast<std::size_t>(id)] = ResultValue{Text(s.get(), 1), 0, Real(s.get(), 4), Real(s.get(), 5), Text(s.get(), 2),
                                                           sqlite3_column_int(s.get(), 3)};
    }
    return step == SQLITE_DONE || Fail("cannot read the result kinds");
}

std::optional<std::int64_t> SqlitePieceStore::Kind(const ResultValue& r)
{
    const auto find = [&]() -> std::optional<std::int64_t> {
        for (std::size_t id = 0; id < kinds_.size(); ++id)
            if (kinds_[id] && SameKind(*kinds_[id], r)) return static_cast<std::int64_t>(id);
        return std::nullopt;
    };
    // Inside the write transaction: what the file holds now is what counts.
    if (auto id = find()) return id;
    if (!LoadKinds()) return std::nullopt;
    if (auto id = find()) return id;
    Statement s(db_, "INSERT INTO result_kind(name, unit, decimals, lower, upper) VALUES(?,?,?,?,?)");
    if (!s) {
        Fail("cannot store a result kind");
        return std::nullopt;
    }
    s.Bind(1, r.name);
    s.Bind(2, r.unit);
    s.Bind(3, r.decimals);
    s.Bind(4, r.lower);
    s.Bind(5, r.upper);
    if (s.Step() != SQLITE_DONE) {
        Fail("cannot store the result kind " + r.name);
        return std::nullopt;
    }
    const std::int64_t id = sqlite3_last_insert_rowid(db_);
    if (kinds_.size() <= static_cast<std::size_t>(id)) kinds_.resize(static_cast<std::size_t>(id) + 1);
    kinds_[static_cast<std::size_t>(id)] = ResultValue{r.name, 0, r.lower, r.upper, r.unit, r.decimals};
    return id;
}

bool SqlitePieceStore::Read(Statement& pieces, const std::function<bool(std::int64_t, PieceRecord&)>& each)
{
    sqlite3_stmt* p = pieces.get();
    PieceRecord piece;
    int step;
    while ((step = pieces.Step()) == SQLITE_ROW) {
        const std::int64_t id = sqlite3_column_int64(p, 0);
        Assign(piece.instrument, p, 1);
        Assign(piece.instrumentName, p, 2);
        piece.measure = sqlite3_column_int(p, 3);
        piece.measureType = sqlite3_column_int(p, 4);
        piece.counter = sqlite3_column_int64(p, 5);
        piece.timeUtcMs = sqlite3_column_int64(p, 6);
        Assign(piece.work, p, 7);
        piece.workNumber = sqlite3_column_int(p, 8);
        Assign(piece.verdict, p, 9);
        piece.rejectCauses = sqlite3_column_int(p, 10);
        piece.checkPointRejectCauses = sqlite3_column_int(p, 11);
        if (!ReadResults(Bytes(p, 12), piece)) return false;
        if (!CurveBlob::Decode(Bytes(p, 13), piece.curve))
            return Damaged("the curve of piece " + std::to_string(piece.counter) + " is damaged");
        if (!each(id, piece)) return true;
    }
    return step == SQLITE_DONE || Fail("cannot read the pieces");
}

bool SqlitePieceStore::ReadResults(std::string_view bytes, PieceRecord& piece)
{
    const auto count = SqliteResultBlob::Count(bytes);
    if (!count) return Damaged("the results of piece " + std::to_string(piece.counter) + " are damaged");
    piece.results.resize(*count);
    for (std::size_t i = 0; i < *count; ++i) {
        const std::int64_t kind = SqliteResultBlob::Kind(bytes, i);
        // A kind another program added since they were read.
        if (!Known(kind) && !LoadKinds()) return false;
        if (!Known(kind)) return Damaged("piece " + std::to_string(piece.counter) + " has a result of unknown kind");
        ResultValue& v = piece.results[i];
        const ResultValue& k = *kinds_[static_cast<std::size_t>(kind)];
        // Assigning in place keeps the strings' buffers from piece to piece.
        v.name.assign(k.name);
        v.unit.assign(k.unit);
        v.decimals = k.decimals;
        v.lower = k.lower;
        v.upper = k.upper;
        v.value = SqliteResultBlob::Value(bytes, i);
    }
    return true;
}

std::unique_ptr<SqlitePieceStore::Statement> SqlitePieceStore::Select(const PieceFilter& filter, const std::string& columns, bool& none)
{
    none = false;
    // Pieces are stored as they complete, so the first piece since a time starts the scan.
    std::int64_t first = 0;
    if (filter.sinceUtcMs) {
        Statement s(db_, "SELECT min(id) FROM piece WHERE time_utc_ms >= ?");
        if (s) s.Bind(1, *filter.sinceUtcMs);
        if (!s || s.Step() != SQLITE_ROW) {
            Fail("cannot read the pieces");
            return nullptr;
        }
        none = sqlite3_column_type(s.get(), 0) == SQLITE_NULL;
        if (none) return nullptr;
        first = sqlite3_column_int64(s.get(), 0);
    }
    std::string where = " WHERE p.id >= ?5";
    if (filter.instrument) where += " AND p.instrument = ?1";
    if (filter.measure) where += " AND p.measure = ?2";
    if (filter.sinceUtcMs) where += " AND p.time_utc_ms >= ?3";
    if (filter.untilUtcMs) where += " AND p.time_utc_ms < ?4";
    auto pieces = std::make_unique<Statement>(db_, "SELECT " + columns + " FROM piece p" + where + " ORDER BY p.id");
    if (!*pieces) {
        Fail("cannot read the pieces");
        return nullptr;
    }
    if (filter.instrument) pieces->Bind(1, *filter.instrument);
    if (filter.measure) pieces->Bind(2, *filter.measure);
    if (filter.sinceUtcMs) pieces->Bind(3, *filter.sinceUtcMs);
    if (filter.untilUtcMs) pieces->Bind(4, *filter.untilUtcMs);
    pieces->Bind(5, first);
    return pieces;
}

bool SqlitePieceStore::ForEach(const PieceFilter& filter, const std::function<bool(const PieceRecord&)>& each)
{
    bool none = false;
    const auto pieces = Select(filter, std::string(kPieceColumns) + (filter.withCurves ? ", p.curve" : ", NULL"), none);
    if (!pieces) return none;
    return Read(*pieces, [&](std::int64_t, PieceRecord& piece) { return each(piece); });
}

bool SqlitePieceStore::ForEachJudged(const PieceFilter& filter, const std::function<bool(const PieceRecord&)>& each)
{
    bool none = false;
    const auto pieces = Select(filter, "p.instrument, p.measure, p.counter, p.verdict, p.results", none);
    if (!pieces) return none;
    sqlite3_stmt* p = pieces->get();
    PieceRecord piece;
    int step;
    while ((step = pieces->Step()) == SQLITE_ROW) {
        Assign(piece.instrument, p, 0);
        piece.measure = sqlite3_column_int(p, 1);
        piece.counter = sqlite3_column_int64(p, 2);
        Assign(piece.verdict, p, 3);
        if (!ReadResults(Bytes(p, 4), piece)) return false;
        if (!each(piece)) return true;
    }
    return step == SQLITE_DONE || Fail("cannot read the pieces");
}

std::vector<PieceStore::Outgoing> SqlitePieceStore::Unpublished(std::size_t most)
{
    std::vector<Outgoing> out;
    Statement pieces(db_, std::string("SELECT ") + kPieceColumns + ", p.curve FROM piece p WHERE published = 0 ORDER BY id LIMIT ?1");
    if (!pieces) {
        Fail("cannot read the outbox");
        return out;
    }
    pieces.Bind(1, static_cast<std::int64_t>(most));
    if (!Read(pieces, [&](std::int64_t id, PieceRecord& piece) {
            out.push_back({id, piece});
            return true;
        }))
        out.clear();
    return out;
}

bool SqlitePieceStore::MarkPublished(std::int64_t id)
{
    Statement s(db_, "UPDATE piece SET published = 1 WHERE id = ?");
    if (!s) return Fail("cannot mark a piece published");
    s.Bind(1, id);
    if (s.Step() != SQLITE_DONE) return Fail("cannot mark piece " + std::to_string(id) + " published");
    if (sqlite3_changes(db_) == 0) {
        error_ = "no piece " + std::to_string(id) + " in the store";
        return false;
    }
    return true;
}

} // namespace zem
