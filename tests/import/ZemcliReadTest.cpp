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
    // In the setup dialogs' words; the simulated site's memories carry no curve shares, so the
    // durations are the template's.
    EXPECT_EQ(read.out.rfind("The instrument's configuration was read into a new profile.\n"
                             "The instrument memory does not keep every field: the details list those that keep the template's values.\n"
                             "These fields could not be read back and keep the template's values:\n"
                             "Serial port baud rate\nMessages window - Load input\n"
                             "Measure 1: Name of the value, Acquisition speed, Encoder reset mode, Messages, Curve duration\n"
                             "Measure 2: Position transducer, Start position taken at start, Wait for position zero, ", 0), 0u) << read.out;
    EXPECT_NE(read.out.find("Measure 6: The settings of a measure not in use\n"), std::string::npos) << read.out;
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
