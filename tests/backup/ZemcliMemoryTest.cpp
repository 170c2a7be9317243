#include "tests/cli/ZemcliRun.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace zem::test {
namespace {

const std::string kUsb1 = "USB: MR4A1001";

ZemcliResult Zemcli(std::vector<std::string> args)
{
    args.insert(args.begin(), "--simulate");
    return RunZemcli(args, {"XDG_CONFIG_HOME=/nonexistent/zemcli-backup", "ZEMSETUP_PASSWORD=6150"});
}

TEST(ZemcliMemory, BacksUpTestsAndLeavesTheInstrumentBlank)
{
    const auto file = std::filesystem::temp_directory_path() / ("zemcli-" + std::to_string(::getpid()) + ".zemmem");
    const auto run = Zemcli({"--yes", "backup", file.string(), "--to", kUsb1, "then", "memtest", "--to", kUsb1,
                             "then", "check", "--to", kUsb1});
    EXPECT_EQ(run.code, 1) << run.err;  // the check finds the memory the test cleared
    EXPECT_EQ(run.out, "Test memory OK\nThe instrument memory is empty.\n") << run.err;
    EXPECT_EQ(run.err.find("Exporting completed."), 0u) << run.err;
    std::ifstream in(file, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 8961);
    EXPECT_EQ(text.substr(0, 11), " 90 \r\n 69 \r");  // "ZE"
    std::filesystem::remove(file);

    struct Case { std::vector<std::string> args; int code; std::string said; };
    const Case cases[] = {
        {{"memtest", "--to", kUsb1}, 3, "Are you sure to clear the instrument memory?\n(not answered: Cancel)"},
        {{"backup", "/nonexistent/dir/m.zemmem", "--to", kUsb1}, 1, "File writing error.\n/nonexistent/dir/m.zemmem"},
        {{"backup", "--to", kUsb1}, 2, "usage: zemcli backup"},
        {{"--yes", "memtest", "--to", "USB: NOSUCH01"}, 1, "Communication error"},
    };
    for (const auto& c : cases) {
        const auto result = Zemcli(c.args);
        EXPECT_EQ(result.code, c.code) << result.err;
        EXPECT_NE((result.out + result.err).find(c.said), std::string::npos) << result.out << result.err;
    }
}

} // namespace
} // namespace zem::test
