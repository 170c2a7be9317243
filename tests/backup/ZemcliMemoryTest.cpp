#include "tests/cli/ZemcliRun.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace zem::test {
namespace {

ZemcliResult Zemcli(std::vector<std::string> args)
{
    args.insert(args.begin(), "--simulate");
    return RunZemcli(args, {"XDG_CONFIG_HOME=/nonexistent/zemcli-backup", "ZEMSETUP_PASSWORD=6150"});
}

TEST(ZemcliMemory, BacksUpTestsAndLeavesTheInstrumentBlank)
{
    const auto file = std::filesystem::temp_directory_path() / ("zemcli-" + std::to_string(::getpid()) + ".zemmem");
    const std::string key = "USB: MR4A1001";
    const auto run = Zemcli({"--yes", "backup", file.string(), "--to", key, "then", "memtest", "--to", key, "then",
                             "check", "--to", key});
    EXPECT_EQ(run.code, 1) << run.err;  // the check finds the memory the test cleared
    EXPECT_EQ(run.out, "Exporting completed.\nTest memory OK\n") << run.err;
    EXPECT_NE(run.err.find("The instrument memory is empty.\n"), std::string::npos) << run.err;
    std::ifstream in(file, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 8961);
    EXPECT_EQ(text.substr(0, 11), " 90 \r\n 69 \r");  // "ZE"
    std::filesystem::remove(file);

    const auto refused = Zemcli({"memtest", "--to", key});
    EXPECT_EQ(refused.code, 3);
    const auto unwritable = Zemcli({"backup", "/nonexistent/dir/m.zemmem", "--to", key});
    EXPECT_EQ(unwritable.code, 1);
    EXPECT_EQ(unwritable.err,
              "File writing error.\n/nonexistent/dir/m.zemmem\nCannot write in /nonexistent/dir: No such file or directory\n");
}

} // namespace
} // namespace zem::test
