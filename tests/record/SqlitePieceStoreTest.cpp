#include "RecordFixture.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>

namespace zem::test {

namespace {

std::vector<PieceRecord> All(PieceStore& store, PieceFilter filter = {.withCurves = true})
{
    std::vector<PieceRecord> out;
    EXPECT_TRUE(store.ForEach(filter, [&](const PieceRecord& p) { return out.push_back(p), true; })) << store.Error();
    return out;
}

// Runs one statement on the file behind the store's back; its first column as text.
std::string Sql(const std::string& db, const std::string& sql)
{
    sqlite3* h = nullptr;
    sqlite3_open(db.c_str(), &h);
    sqlite3_stmt* s = nullptr;
    std::string out;
    if (sqlite3_prepare_v2(h, sql.c_str(), -1, &s, nullptr) == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW)
        out.assign(static_cast<const char*>(sqlite3_column_blob(s, 0)), static_cast<std::size_t>(sqlite3_column_bytes(s, 0)));
    sqlite3_finalize(s);
    sqlite3_close(h);
    return out;
}

} // namespace

TEST_F(RecordTest, PiecesComeBackWithTheirResultsLimitsAndCurveBytes)
{
    auto store = Open();
    PieceRecord first = Piece(1, {30.25, 4.5}, 500);
    first.results[1].lower.reset();
    PieceRecord none = Piece(2);
    none.verdict = "no results";
    bool added = false;
    for (const auto* p : {&first, &none}) ASSERT_TRUE(store->Add(*p, added) && added) << store->Error();

    const auto back = All(*store);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].instrumentName, "Press 1");
    EXPECT_EQ(back[0].timeUtcMs, first.timeUtcMs);
    ASSERT_EQ(back[0].results.size(), 2u);
    EXPECT_EQ(back[0].results[1].value, 4.5);
    EXPECT_FALSE(back[0].results[1].lower);
    EXPECT_EQ(back[0].results[1].upper, 12.0);
    ASSERT_EQ(back[0].curve.size(), 500u);
    EXPECT_EQ(back[0].curve[499].position, 124.75f);
    EXPECT_EQ(back[1].verdict, "no results");
    EXPECT_TRUE(back[1].results.empty() && back[1].curve.empty());
    EXPECT_TRUE(All(*store, {})[0].curve.empty()) << "curves only when asked";
    // Point 1 on disk: position 0.25 (0x3E800000) then force -0.5 (0xBF000000), low byte first.
    EXPECT_EQ(Sql(db, "SELECT substr(curve, 9, 8) FROM piece WHERE counter = 1"), std::string("\0\0\x80\x3e\0\0\0\xbf", 8));
    // The results in the row: kind 1 with 30.25 (0x403E400000000000), kind 2 with 4.5, low byte first.
    EXPECT_EQ(Sql(db, "SELECT results FROM piece WHERE counter = 1"),
              std::string("\1\0\0\0\0\0\0\0\0\x40\x3e\x40\2\0\0\0\0\0\0\0\0\0\x12\x40", 24));

    Sql(db, "UPDATE piece SET results = x'0102' WHERE counter = 2");
    EXPECT_FALSE(store->ForEach({}, [](const PieceRecord&) { return true; }));
    EXPECT_EQ(store->Error(), "the results of piece 2 are damaged");
}

TEST_F(RecordTest, APieceWithAStoredCounterIsNotStoredTwice)
{
    auto store = Open();
    bool added = false;
    ASSERT_TRUE(store->Add(Piece(7, {1}), added) && added);
    EXPECT_TRUE(store->Add(Piece(7, {2, 3}), added)) << store->Error();
    EXPECT_FALSE(added);
    PieceRecord otherMeasure = Piece(7, {4});
    otherMeasure.measure = 2;
    EXPECT_TRUE(store->Add(otherMeasure, added) && added);
    EXPECT_EQ(All(*store, {.measure = 1}).at(0).results.size(), 1u);
    EXPECT_EQ(Sql(db, "SELECT count(*) FROM result"), "2");
    EXPECT_EQ(store->LastCounter("USB: MR4A1001", 1), 7);
    EXPECT_FALSE(store->LastCounter("USB: MR4A1001", 3));
}

TEST_F(RecordTest, TheOutboxHandsOutUnpublishedPiecesOldestFirst)
{
    auto store = Open();
    bool added = false;
    for (int c = 1; c <= 3; ++c) store->Add(Piece(c, {1.0 * c}, 2), added);
    auto out = store->Unpublished(2);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[1].piece.counter, 2);
    EXPECT_EQ(out[1].piece.curve.size(), 2u);
    ASSERT_TRUE(store->MarkPublished(out[0].id));
    EXPECT_EQ(store->Unpublished(5).front().piece.counter, 2);
    EXPECT_FALSE(store->MarkPublished(999));
    EXPECT_EQ(store->Error(), "no piece 999 in the store");
}

TEST_F(RecordTest, OpeningCreatesAVersionedWalFileAndRefusesWhatItCannotRead)
{
    ::umask(022);
    Open();
    EXPECT_EQ(Sql(db, "PRAGMA user_version"), "1");
    EXPECT_EQ(Sql(db, "PRAGMA journal_mode"), "wal");
    struct stat st{};
    ASSERT_EQ(::stat(db.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);

    std::string error;
    Sql(db, "PRAGMA user_version=2");
    EXPECT_FALSE(SqlitePieceStore::Open(db, error));
    EXPECT_NE(error.find("newer ZEM Setup (schema version 2; this one reads up to 1)"), std::string::npos) << error;
    const std::string other = (folder / "other.db").string();
    Sql(other, "CREATE TABLE t(x)");
    EXPECT_FALSE(SqlitePieceStore::Open(other, error));
    EXPECT_NE(error.find("a database of another program"), std::string::npos) << error;
    EXPECT_FALSE(SqlitePieceStore::Open((folder / "missing" / "p.db").string(), error));
    EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
}

TEST_F(RecordTest, AWriterKilledInTheMiddleLeavesOnlyWholePieces)
{
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        std::string error;
        auto store = SqlitePieceStore::Open(db, error);
        bool added = false;
        for (int c = 1; store; ++c) {
            store->Add(Piece(c, {1, 2, 3}, 500), added);
            if (c == 50) (void)!::write(ready[1], "x", 1);
        }
        ::_exit(1);
    }
    char x;
    ASSERT_EQ(::read(ready[0], &x, 1), 1);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(Sql(db, "PRAGMA integrity_check"), "ok");
    const auto pieces = All(*Open());
    EXPECT_GE(pieces.size(), 50u);
    for (const auto& p : pieces) {
        EXPECT_EQ(p.results.size(), 3u);
        EXPECT_EQ(p.curve.size(), 500u);
    }
    EXPECT_EQ(pieces.back().counter, static_cast<std::int64_t>(pieces.size()));
}

} // namespace zem::test
