#include "RecordFixture.h"

#include "../cli/ZemcliRun.h"
#include "record/Statistics.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <sstream>

namespace zem::test {

namespace {

std::string Read(const std::filesystem::path& file)
{
    std::ostringstream text;
    text << std::ifstream(file).rdbuf();
    return text.str();
}

} // namespace

TEST_F(RecordTest, StatsPrintsWhatTheStoreHoldsAsJsonTextAndCsv)
{
    {
        auto store = Open();
        bool added = false;
        for (int c = 1; c <= 5; ++c) {
            PieceRecord p = Piece(c, {1.5 * c, 10.0 - c});
            p.measure = c <= 3 ? 1 : 2;
            store->Add(p, added);
        }
    }
    const auto expected = Statistics::Compute(*Open(), {.measure = 1});
    const std::vector<std::string> env = {"XDG_CONFIG_HOME=" + folder.string()};
    const auto json = RunZemcli({"stats", "--db", db, "--measure", "1", "--json"}, env);
    ASSERT_EQ(json.code, 0) << json.err;
    const auto document = nlohmann::json::parse(json.out);
    ASSERT_EQ(document["measures"].size(), 1u);
    const auto& m = document["measures"][0];
    EXPECT_EQ(m["instrument"], "USB: MR4A1001");
    EXPECT_EQ(m["pieces"], 3);
    const auto& v = m["values"][1];
    EXPECT_EQ(v["name"], "Value 1");
    EXPECT_DOUBLE_EQ(v["mean"].get<double>(), 8);
    EXPECT_DOUBLE_EQ(v["sd"].get<double>(), 1);
    EXPECT_DOUBLE_EQ(v["cpk"].get<double>(), (*expected)[0].values[1].cpk.value());
    EXPECT_EQ(v["trend"], nlohmann::json({9.0, 8.0, 7.0}));

    const auto text = RunZemcli({"stats", "--db", db, "--since", "2026-11-30"}, env);
    EXPECT_EQ(text.code, 0) << text.err;
    EXPECT_NE(text.out.find("USB: MR4A1001 measure 2: 2 pieces, 1 good, 1 rejected (50.00 %)"), std::string::npos) << text.out;

    const auto csv = folder / "stats.csv";
    std::ofstream(csv) << "old";
    EXPECT_EQ(RunZemcli({"stats", "--db", db, "--csv", csv.string()}, env).code, 3);
    EXPECT_EQ(Read(csv), "old");
    EXPECT_EQ(RunZemcli({"stats", "--db", db, "--csv", csv.string(), "--force"}, env).code, 0);
    EXPECT_EQ(Read(csv).substr(0, 20), "instrument,measure,p");

    EXPECT_EQ(RunZemcli({"stats", "--db", db, "--since", "last week"}, env).code, 2);
    const auto missing = RunZemcli({"stats", "--db", (folder / "none.db").string()}, env);
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.err.find("no such database"), std::string::npos);
}

} // namespace zem::test
