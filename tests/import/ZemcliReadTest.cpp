#include "tests/cli/ZemcliRun.h"

#include "profile/ProfiloZem.h"

#include <gtest/gtest.h>

namespace zem::test {
namespace {

ZemcliResult Zemcli(std::vector<std::string> args)
{
    args.insert(args.begin(), "--simulate");
    return RunZemcli(args, {"XDG_CONFIG_HOME=/nonexistent/zemcli-read"});
}

TEST(ZemcliRead, WritesTheInstrumentsProfileAndOverwritesOnlyWhenForced)
{
    const auto folder = std::filesystem::temp_directory_path() / ("zemcli-read-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string file = (folder / "press.zemp").string(), other = (folder / "blank.zemp").string();

    const auto read = Zemcli({"read", "--to", "USB: MR4A1001", file});
    EXPECT_EQ(read.code, 0) << read.err;
    EXPECT_EQ(read.out.rfind("Not read back (template values): ", 0), 0u) << read.out;
    EXPECT_NE(read.out.find(" DurataCurve(1) "), std::string::npos) << read.out;
    ProfiloZem p;
    ASSERT_TRUE(p.ApriFile(file));
    EXPECT_EQ(std::tuple(p.Nome, p.NomeMisura(1), p.TipoMisura(1), p.NomeMisura(2), p.TipoMisura(2)),
              std::tuple("LINE 1 PRESS", "PRESS FIT", 1, "HEIGHT", 3));

    struct Case { std::vector<std::string> args; int code; std::string said; };
    const Case cases[] = {
        {{"read", "--to", "USB: MR4A1002", file}, 3, "--force overwrites it"},
        {{"read", "--to", "USB: MR4A1003", other}, 1, "The instrument memory is empty."},  // update mode
        {{"read", "--to", "USB: MR4A1004", other}, 1, "The instrument memory is empty."},  // memory error
        {{"read", file}, 2, "usage: zemcli read"},
    };
    for (const auto& c : cases) {
        const auto r = Zemcli(c.args);
        EXPECT_EQ(r.code, c.code) << c.args[2];
        EXPECT_NE((r.out + r.err).find(c.said), std::string::npos) << r.out << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(other));
    ASSERT_TRUE(p.ApriFile(file));
    EXPECT_EQ(p.Nome, "LINE 1 PRESS");

    EXPECT_EQ(Zemcli({"read", "--force", "--to", "USB: MR4A1002", file}).code, 0);
    ASSERT_TRUE(p.ApriFile(file));
    EXPECT_EQ(p.Nome, "LINE 2 RIVETING");
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace zem::test
