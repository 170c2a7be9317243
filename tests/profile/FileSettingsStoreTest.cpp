#include "profile/FileSettingsStore.h"
#include "tests/profile/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <tuple>

namespace zem {
namespace {

using test::TempFolder;

TEST(FileSettingsStore, KeepsOneFilePerApplicationOnDisk)
{
    TempFolder dir;
    FileSettingsStore store(dir.path() / "zemsetup");
    EXPECT_EQ(store.GetSetting("ZEM Setup", "Main", "Password", "6150"), "6150");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "zemsetup"));  // reading creates nothing

    ASSERT_TRUE(store.SaveSetting("ZEM Setup", "Main", "PathProfili", "/home/tec/profili/"));
    ASSERT_TRUE(store.SaveSetting("ZEM Setup", "Main", "Password", ""));
    ASSERT_TRUE(store.SaveSetting("SetupPrograms", "Main", "FileSN", "C:\\SN\\SNlist.txt"));
    ASSERT_TRUE(store.SaveSetting("ZEM Setup", "Main", "PathProfili", " /other "));

    EXPECT_EQ(TempFolder::Read(dir / "zemsetup/ZEM Setup.ini"), "[Main]\r\nPathProfili= /other \r\nPassword=\r\n");
    EXPECT_EQ(TempFolder::Read(dir / "zemsetup/SetupPrograms.ini"), "[Main]\r\nFileSN=C:\\SN\\SNlist.txt\r\n");
    EXPECT_EQ(std::filesystem::status(dir.path() / "zemsetup").permissions(), std::filesystem::perms::owner_all);

    // Another store (another run of the program) reads what this one saved.
    FileSettingsStore altro(dir.path() / "zemsetup");
    EXPECT_EQ(altro.GetSetting("ZEM Setup", "main", "pathprofili", "-"), " /other ");
    EXPECT_EQ(altro.GetSetting("ZEM Setup", "Main", "Password", "6150"), "");  // empty is not absent
    EXPECT_EQ(altro.GetSetting("ZEM Setup", "Other", "PathProfili", "-"), "-");
}

TEST(FileSettingsStore, RefusesWhatCouldNotBeReadBack)
{
    TempFolder dir;
    FileSettingsStore store(dir.path());
    const std::tuple<const char*, const char*, const char*> casi[] = {
        {"Main", "Password", "two\r\nlines"}, {"Ma]in", "k", "v"}, {"Main", "k=x", "v"}, {"Main", " ", "v"}, {"Main", "[k]", "v"}};
    for (const auto& [sezione, chiave, valore] : casi) EXPECT_FALSE(store.SaveSetting("A", sezione, chiave, valore)) << chiave;
    EXPECT_FALSE(FileSettingsStore(dir.Write("plain", "") + "/sub").SaveSetting("A", "Main", "k", "v"));
    // Application names stay inside the folder.
    EXPECT_EQ(store.FilePath("../x/y").parent_path(), dir.path());
    EXPECT_EQ(store.FilePath(".hidden").filename(), "_.hidden.ini");
}

} // namespace
} // namespace zem
