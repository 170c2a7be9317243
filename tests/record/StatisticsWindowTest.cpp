// The statistics window on a file of recorded pieces: what the technician reads and sees for a
// known set of pieces, the CSV it writes, and the files it cannot read.
#include "RecordFixture.h"

#include "diagnosis/FStatistics.h"
#include "main/FMainZEMSETUP.h"
#include "record/Statistics.h"
#include "record/StatisticsCsv.h"
#include "record/StoreStatistics.h"
#include "tests/main/MainWindowSession.h"

#include <sqlite3.h>

namespace zem::test {
namespace {

class StatisticsWindow : public RecordTest {
protected:
    void Fill(std::int64_t from, std::int64_t to)
    {
        constexpr double kValues[] = {2, 4, 4, 4, 5, 5, 7, 9};  // mean 5, sample sd sqrt(32 / 7)
        auto store = Open();
        bool added = false;
        for (std::int64_t c = from; c <= to; ++c) ASSERT_TRUE(store->Add(Piece(c, {kValues[(c - 1) % 8], 3.0}), added));
    }

    ui::ScriptedHost host;
    StoreStatistics source{[] { return Piece(1).timeUtcMs; }};
    FStatistics window{host, source};
};

// The bars' heights: every other point of the stepped outline, from the second on.
std::int64_t BarTotal(const ui::Plot& plot)
{
    double total = 0;
    const auto& outline = plot.GetSeries().at(0).points;
    for (std::size_t i = 1; i + 1 < outline.size(); i += 2) total += outline[i].y;
    return static_cast<std::int64_t>(total);
}

TEST_F(StatisticsWindow, ShowsTheCountsCapabilityAndPlotsAndFollowsTheGrowingFile)
{
    Fill(1, 8);
    const std::string csv = (folder / "stats.csv").string();
    host.ChooseFile(db);
    host.OnForm("FStatistics", [&](ui::Form&) {
        EXPECT_EQ(window.lblConteggi.Caption(), "Pieces: 8    Good: 6    Rejected: 2    Reject rate: 25.00 %");
        ASSERT_EQ(window.lvwValori.ItemCount(), 2);
        EXPECT_EQ(window.lvwValori.Cell(0, "MEAN"), "5.000");
        EXPECT_EQ(window.lvwValori.Cell(0, "CP"), "0.94");   // 12 / (6 sd)
        EXPECT_EQ(window.lvwValori.Cell(0, "CPK"), "0.78");  // 5 / (3 sd)
        EXPECT_EQ(window.lvwValori.Cell(1, "CP"), "-") << "no capability without spread";
        EXPECT_EQ(BarTotal(window.picIstogramma), 8);
        EXPECT_EQ(window.picIstogramma.GetSeries().size(), 3u) << "the bars and both limits";
        EXPECT_EQ(window.picAndamento.GetSeries().at(1).points.size(), 8u);
        window.lvwValori.UserClickItem(1);
        EXPECT_EQ(window.cboValore.Text(), "Value 1");
        EXPECT_EQ(window.picAndamento.GetSeries().at(1).points.at(0).y, 3.0);

        // A recording adds pieces meanwhile; the value chosen stays chosen.
        Fill(9, 12);
        window.cmdAggiorna.UserClick();
        EXPECT_EQ(window.lblConteggi.Caption(), "Pieces: 12    Good: 9    Rejected: 3    Reject rate: 25.00 %");
        EXPECT_EQ(window.cboValore.Text(), "Value 1");
        EXPECT_EQ(BarTotal(window.picIstogramma), 12);

        host.ChooseFile(csv);
        window.cmdEsporta.UserClick();

        window.txtDa.UserType("2100-01-01");
        window.cmdAggiorna.UserClick();
        EXPECT_EQ(window.picAndamento.Message().text, "No pieces are recorded since 2100-01-01.");
        EXPECT_FALSE(window.cmdEsporta.Enabled());
        window.txtDa.UserType("yesterday");
        window.cmdAggiorna.UserClick();
        window.cmdChiudi.UserClick();
    });
    ASSERT_TRUE(window.LoadForm("/home/line1/profiles"));
    EXPECT_EQ(host.FileDialogs().at(0).filter, "Recorded pieces|*.db");
    EXPECT_EQ(host.FileDialogs().at(0).initialFolder, "/home/line1/profiles");
    auto store = Open();
    EXPECT_EQ(ReadFile(csv), StatisticsCsv::Text(*Statistics::Compute(*store, {})));
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_NE(host.Messages()[0].text.find("Since yesterday: give a UTC date"), std::string::npos);
}

TEST_F(StatisticsWindow, AFileItCannotReadIsSaidSoAndNoWindowShows)
{
    {
        Fill(1, 1);
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open(db.c_str(), &raw), SQLITE_OK);
        sqlite3_exec(raw, "PRAGMA user_version=99", nullptr, nullptr, nullptr);
        sqlite3_close(raw);
    }
    std::ofstream((folder / "empty.db").string());
    std::ofstream((folder / "notes.db").string()) << "not a database, but long enough to be read as one...........";
    const struct {
        std::string file, says;
    } cases[] = {
        {db, "newer ZEM Setup"},
        {(folder / "missing.db").string(), "no such file"},
        {(folder / "empty.db").string(), "is empty: no pieces"},
        {(folder / "notes.db").string(), "Cannot open the database"},
    };
    for (const auto& c : cases) {
        host.ChooseFile(c.file);
        EXPECT_FALSE(window.LoadForm()) << c.file;
        ASSERT_FALSE(host.Messages().empty());
        EXPECT_NE(host.Messages().back().text.find(c.says), std::string::npos) << host.Messages().back().text;
    }
    EXPECT_TRUE(host.FormsShown().empty());
    EXPECT_EQ(std::filesystem::file_size(folder / "empty.db"), 0u) << "the viewer writes nothing";
}

TEST(StatisticsMenu, IsEnabledOnlyWithTheProgramsSource)
{
    MainWindowSession without;
    EXPECT_FALSE(without.window->mnuStatistiche.Enabled());
    ui::ScriptedHost host;
    MemorySettingsStore settings;
    sim::SimulatedPlatform platform;
    StoreStatistics source{[] { return std::int64_t{0}; }};
    FMainZEMSETUP window(host, settings, platform.Platform(), {.statistics = &source});
    window.LoadWindow();
    EXPECT_TRUE(window.mnuStatistiche.Enabled());
    host.CancelFile();
    window.mnuStatistiche.UserClick();
    EXPECT_EQ(host.FileDialogs().at(0).title, "Statistics of recorded pieces");
}

} // namespace
} // namespace zem::test
