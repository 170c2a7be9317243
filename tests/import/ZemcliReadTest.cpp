#include "tests/cli/ZemcliRun.h"

#include "profile/ProfiloZem.h"
#include "tests/profile/TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace zem::test {

TEST(ZemcliRead, WritesTheInstrumentsProfileButOverwritesOnlyWhenForced)
{
    const std::string file = std::filesystem::temp_directory_path() / ("zemcli-read-" + std::to_string(::getpid()) + ".zemp");
    const auto read = RunZemcli({"--simulate", "read", "--to", "USB: MR4A1001", file, "then", "read", "--to", "USB: MR4A1002", file}, {});
    EXPECT_EQ(read.code, 3) << read.err;
    EXPECT_EQ(read.out.rfind("Not read back (template values): BaudrateCOMM nInputLoad NomeValore(1) AquireSpeed(1)", 0), 0u) << read.out;
    // The simulated site's memories carry no curve shares: the durations are the template's.
    EXPECT_NE(read.out.find(" DurataCurve(1) DurataCurve(2)\n"), std::string::npos) << read.out;
    EXPECT_EQ(read.out.find("Worked out"), std::string::npos);
    EXPECT_NE(read.err.find("exists; --force overwrites it"), std::string::npos) << read.err;
    ProfiloZem p;
    EXPECT_TRUE(p.ApriFile(file));
    EXPECT_EQ(std::tuple(p.Nome, p.NomeMisura(2), p.TipoMisura(2)), std::tuple("LINE 1 PRESS", "HEIGHT", 3));
    // Forced, the file is replaced: nothing of what it held survives.
    std::ofstream(file, std::ios::app) << "[VENDOR]\r\nstale=1\r\n";
    EXPECT_EQ(RunZemcli({"--simulate", "read", "--to", "USB: MR4A1002", file, "--force"}, {}).code, 0);
    EXPECT_EQ(TempFolder::Read(file).find("stale"), std::string::npos);
    std::filesystem::remove(file);
}

// Without its template the fields the memory does not keep would come back as zeros.
TEST(ZemcliRead, StopsWhenTheTemplateIsMissing)
{
    const auto root = std::filesystem::temp_directory_path() / ("zemcli-notemplate-" + std::to_string(::getpid()));
    std::filesystem::create_directories(root / "bin");
    std::filesystem::copy_file(std::string(ZEM_BINARY_DIR) + "/zemcli", root / "bin/zemcli");
    const auto read = RunZemcli({"--simulate", "read", "--to", "USB: MR4A1001", (root / "p.zemp").string()}, {}, 20000,
                                (root / "bin/zemcli").string());
    EXPECT_EQ(read.code, 1);
    EXPECT_NE(read.err.find("The profile template cannot be read: " + (root / "share/zemsetup/Default.ZemP").string()),
              std::string::npos) << read.err;
    EXPECT_FALSE(std::filesystem::exists(root / "p.zemp"));
    std::filesystem::remove_all(root);
}

} // namespace zem::test
