// zemcli record end to end on the simulated press: a run that ends after its pieces, and one that
// SIGINT ends in the middle of the production.
#include "tests/cli/ZemcliRun.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>
#include <unistd.h>

namespace zem::test {
namespace {

std::vector<nlohmann::json> Lines(const std::string& out)
{
    std::vector<nlohmann::json> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) lines.push_back(nlohmann::json::parse(line));
    return lines;
}

void ExpectWholePieces(const std::vector<nlohmann::json>& pieces)
{
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        EXPECT_EQ(pieces[i]["counter"], i + 1);
        EXPECT_EQ(pieces[i]["instrument"], "USB: MR4A1001");
        EXPECT_EQ(pieces[i]["points"], 600);
        EXPECT_EQ(pieces[i]["results"].size(), 3u);
    }
}

class ZemcliRecord : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directories(folder); }
    void TearDown() override { std::filesystem::remove_all(folder); }
    // Its own folder: ctest runs the tests of this file side by side.
    const std::filesystem::path folder = std::filesystem::temp_directory_path()
        / ("zem-zemcli-record-" + std::to_string(::getpid()) + "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    const std::string db = (folder / "pieces.db").string();
};

TEST_F(ZemcliRecord, KeepsTheAskedPiecesAndEnds)
{
    const auto r = RunZemcli({"--simulate", "record", "--to", "USB: MR4A1001", "--db", db, "--pieces", "3", "--json"}, {});
    ASSERT_EQ(r.code, 0) << r.err;
    const auto pieces = Lines(r.out);
    ASSERT_EQ(pieces.size(), 3u) << r.out;
    ExpectWholePieces(pieces);
    EXPECT_NE(r.err.find("3 pieces kept"), std::string::npos) << r.err;
    const auto stats = RunZemcli({"stats", "--db", db, "--json"}, {});
    ASSERT_EQ(stats.code, 0) << stats.err;
    EXPECT_EQ(nlohmann::json::parse(stats.out)["measures"][0]["pieces"], 3) << "the three are in the file";
    EXPECT_EQ(RunZemcli({"--simulate", "record", "--to", "USB: MR4A1001", "--db", db, "--pieces", "3", "--for", "1m"}, {}).code, 2);
}

TEST_F(ZemcliRecord, SigintEndsItWithWholePiecesOnly)
{
    // The first piece out is the moment to stop; a fifo hands it over without any waiting.
    const std::string script = "mkfifo \"$1/out\"; \"$0\" --simulate record --to 'USB: MR4A1001' --db \"$1/pieces.db\" --json"
                               " > \"$1/out\" & p=$!; exec 4<\"$1/out\"; read -r l <&4; echo \"$l\"; kill -INT $p;"
                               " cat <&4; wait $p; echo \"exit $?\" >&2";
    const auto r = RunZemcli({"-c", script, std::string(ZEM_BINARY_DIR) + "/zemcli", folder.string()}, {}, 20000, "/bin/sh");
    ASSERT_NE(r.err.find("exit 0"), std::string::npos) << r.err;
    const auto pieces = Lines(r.out);
    ASSERT_GE(pieces.size(), 1u);
    ExpectWholePieces(pieces);
    EXPECT_NE(r.err.find(std::to_string(pieces.size()) + " pieces kept"), std::string::npos) << r.err;
}

} // namespace
} // namespace zem::test
