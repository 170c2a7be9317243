// Every file the tool writes, on a full disk and with links planted where it writes: the old file
// stays whole, nothing is written through a link, and the message says why.
#include "diagnosis/CurveCsv.h"
#include "main/BackupMemoria.h"
#include "main/RegistroSN.h"
#include "profile/FileSettingsStore.h"
#include "profile/ProfiloZem.h"
#include "tests/cli/ZemcliRun.h"
#include "tests/profile/TempFolder.h"
#include "tests/send/SendSite.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <fcntl.h>
#include <functional>
#include <future>
#include <sys/mount.h>
#include <unistd.h>

namespace zem::test {
namespace {

namespace fs = std::filesystem;

// One writer: writes something new at `path`; nullopt when written, else the reason it reports.
using Writer = std::function<std::optional<std::string>(const std::string& path)>;
const std::pair<const char*, Writer> kWriters[] = {
    {"p.zemp", [](const std::string& path) -> std::optional<std::string> {
         ProfiloZem p;
         p.Modificato = true;
         return p.SalvaFile(path, ProfiloZem::Salvataggio::Sostituisci) ? std::nullopt : std::optional(p.LastError());
     }},
    {"ZEM Setup.ini", [](const std::string& path) -> std::optional<std::string> {
         const bool ok = FileSettingsStore(fs::path(path).parent_path()).SaveSetting("ZEM Setup", "Main", "Password", "NEW");
         return ok ? std::nullopt : std::optional<std::string>("");
     }},
    {"SNlist.txt", [](const std::string& path) { return RegistroSN::Salva(path, "MR400001  NEW\r\n"); }},
    {"c.csv", [](const std::string& path) { return CurveCsv::Write(path, CompletedPiece{}); }},
    {"m.zemmem", [](const std::string& path) -> std::optional<std::string> {
         SendSite s;
         s.InService();
         s.host.Answer(ui::MsgAnswer::Yes);  // replace it
         const auto esito = BackupMemoria(s.host, s.platform.Platform(), s).Esporta(sim::BenchInstrument::UsbKey(), path, "");
         if (esito == BackupMemoria::Esito::Completato) return std::nullopt;
         return s.host.MessageTexts().back();
     }},
};

// A tmpfs of a few pages, mounted for the test (root only) and filled so that it takes no more.
struct SmallDisk {
    SmallDisk() : mounted(::geteuid() == 0 && ::mount("zemtest", dir.path().c_str(), "tmpfs", 0, "size=64k") == 0) {}
    ~SmallDisk()
    {
        if (mounted) ::umount2(dir.path().c_str(), MNT_DETACH);
    }
    void Fill() const
    {
        const int fd = ::open((dir / "filler").c_str(), O_WRONLY | O_CREAT, 0600);
        while (::write(fd, "x", 1) > 0) {}
        ::close(fd);
    }
    TempFolder dir;
    bool mounted;
};

TEST(FileWriters, OnAFullDiskEveryWriterFailsSaysWhyAndLeavesTheOldFile)
{
    for (const auto& [name, write] : kWriters) {
        SmallDisk disk;
        if (!disk.mounted) GTEST_SKIP() << "mounting a small tmpfs needs root";
        const std::string old = "[Main]\r\nPassword=OLD\r\n", file = disk.dir.Write(name, old);
        disk.Fill();
        const auto error = write(file);
        ASSERT_TRUE(error.has_value()) << name;
        EXPECT_TRUE(error->empty() || error->find("No space left on device") != std::string::npos) << *error;
        EXPECT_EQ(TempFolder::Read(file), old) << name;
        EXPECT_EQ(std::distance(fs::directory_iterator(disk.dir.path()), {}), 2) << name;  // no temporary left
    }
}

TEST(FileWriters, LinksPlantedAtTheTargetOrAtOldTemporaryNamesAreNeverWrittenThrough)
{
    for (const auto& [name, write] : kWriters) {
        TempFolder dir;
        const std::string victim = dir.Write("victim", "precious"), file = dir / name;
        // The target, and the names earlier versions wrote to before renaming.
        for (const auto& link : {file, file + ".tmp", file + ".tmp" + std::to_string(::getpid()) + "_0"})
            fs::create_symlink(victim, link);
        EXPECT_EQ(write(file), std::nullopt) << name;
        EXPECT_EQ(TempFolder::Read(victim), "precious") << name;
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(file))) << name;
        EXPECT_TRUE(fs::is_symlink(file + ".tmp")) << name;
    }
}

TEST(FileWriters, TwoBackupsIntoOneFileAtOnceLeaveOneWholeBackup)
{
    TempFolder dir;
    const std::string file = dir / "m.zemmem";
    const auto backup = [&] {
        return RunZemcli({"--simulate", "--yes", "backup", file, "--to", "USB: MR4A1001"}, {"HOME=" + dir.path().string()});
    };
    auto first = std::async(std::launch::async, backup);
    const auto second = backup();
    const auto one = first.get();
    EXPECT_EQ(one.code, 0) << one.err;
    EXPECT_EQ(second.code, 0) << second.err;
    const std::string text = TempFolder::Read(file);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), BackupMemoria::kIndirizzi);
    EXPECT_EQ(text.substr(0, 11), " 90 \r\n 69 \r");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1);
}

} // namespace
} // namespace zem::test
