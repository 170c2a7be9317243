#include "tests/cli/ZemcliRun.h"

#include "profile/ProfiloZem.h"

#include <gtest/gtest.h>

namespace zem::test {
namespace {

TEST(ZemcliRead, WritesTheInstrumentsProfileAndOverwritesOnlyWhenForced)
{
    const auto folder = std::filesystem::temp_directory_path() / ("zemcli-read-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string file = (folder / "press.zemp").string(), other = (folder / "blank.zemp").string();
    struct Case { std::string key, file, flag; int code; std::string said, name; };
    const Case cases[] = {
        {"USB: MR4A1001", file, "", 0, "Not read back (template values): BaudrateCOMM nInputLoad NomeValore(1) DurataCurve(1)", "LINE 1 PRESS"},
        {"USB: MR4A1002", file, "", 3, "--force overwrites it", "LINE 1 PRESS"},
        {"USB: MR4A1003", other, "", 1, "The instrument memory is empty.", ""},  // update mode: nothing written
        {"USB: MR4A1002", file, "--force", 0, "Not read back", "LINE 2 RIVETING"}};
    for (const auto& c : cases) {
        std::vector<std::string> args{"--simulate", "read", "--to", c.key, c.file};
        if (!c.flag.empty()) args.push_back(c.flag);
        const auto r = RunZemcli(args, {"XDG_CONFIG_HOME=/nonexistent/zemcli-read"});
        EXPECT_EQ(r.code, c.code) << c.key;
        EXPECT_NE((r.out + r.err).find(c.said), std::string::npos) << r.out << r.err;
        ProfiloZem p;
        EXPECT_EQ(p.ApriFile(c.file), !c.name.empty()) << c.key;
        EXPECT_EQ(p.Nome, c.name);
    }
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace zem::test
