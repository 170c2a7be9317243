// zemcli curve end to end: the simulated press over USB, two pieces, two numbered files.
#include "diagnosis/CurveCsv.h"
#include "tests/cli/ZemcliRun.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>

namespace zem::test {
namespace {

TEST(ZemcliCurve, WaitsForTwoPiecesPrintsTheirResultsAndWritesOneFileEach)
{
    const auto folder = std::filesystem::temp_directory_path() / "zem-zemcli-curve";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string csv = (folder / "press.csv").string();
    const auto r = RunZemcli({"--simulate", "curve", "--to", "USB: MR4A1001", "--measure", "1", "--count", "2", "--csv", csv}, {});
    EXPECT_EQ(r.code, 0) << r.err;
    // The strokes run on the wall clock: a slow start under load may meet a piece pressed too hard.
    const std::regex riga("piece [12]: (good; peak (29|30|31)\\.\\d\\d at 300\\.00; reject causes 0; check-point rejects 0"
                          "|rejected; peak 3[789]\\.\\d\\d at 300\\.00; reject causes [1-3]; check-point rejects 1); 600 points\n");
    EXPECT_TRUE(std::regex_match(r.out.substr(0, r.out.find('\n') + 1), riga)) << r.out;
    EXPECT_TRUE(std::regex_match(r.out.substr(r.out.find('\n') + 1), riga)) << r.out;
    for (const int n : {1, 2}) {
        std::ifstream f(CurveCsv::Numbered(csv, n), std::ios::binary);
        std::string header, first;
        std::getline(f, header);
        std::getline(f, first);
        EXPECT_EQ(header, "position [mm],force [daN],result,peak position [mm],peak force [daN],reject causes,check-point rejects\r");
        EXPECT_TRUE(first.starts_with("180.00,")) << first;
    }
    EXPECT_FALSE(std::filesystem::exists(csv));
    EXPECT_EQ(RunZemcli({"--simulate", "curve", "--to", "USB: MR4A1001", "--measure", "2"}, {}).code, 1);
    EXPECT_EQ(RunZemcli({"--simulate", "curve", "--measure", "1"}, {}).code, 2);
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace zem::test
