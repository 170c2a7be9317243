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
#include <fcntl.h>
#include <functional>
#include <future>
#include <sys/mount.h>
#include <unistd.h>

namespace zem::test {
namespace {

namespace fs = std::filesystem;

// One writer: writes something new at `path`; nullopt when written, else the reason it reports.
struct Writer {
    const char* name;
    const char* file;
    std::function<std::optional<std::string>(const std::string& path)> write;
};

std::vector<Writer> Writers()
{
    return {
        {"profile", "p.zemp",
         [](const std::string& path) -> std::optional<std::string> {
             ProfiloZem p;
             p.Nome = "NEW";
             p.Modificato = true;
             if (p.SalvaFile(path, ProfiloZem::Salvataggio::Sostituisci)) return std::nullopt;
             return p.LastError();
         }},
        {"settings", "ZEM Setup.ini",
         [](const std::string& path) -> std::optional<std::string> {
             if (FileSettingsStore(fs::path(path).parent_path()).SaveSetting("ZEM Setup", "Main", "Password", "NEW"))
                 return std::nullopt;
             return "";
         }},
        {"register", "SNlist.txt", [](const std::string& path) { return RegistroSN::Salva(path, "MR400001  NEW\r\n"); }},
        {"curve", "c.csv", [](const std::string& path) { return CurveCsv::Write(path, CompletedPiece{}); }},
        {"backup", "m.zemmem",
         [](const std::string& path) -> std::optional<std::string> {
             SendSite s;
             s.InService();
             s.host.Answer(ui::MsgAnswer::Yes);  // replace it
             const auto esito = BackupMemoria(s.host, s.platform.Platform(), s)
                                    .Esporta(sim::BenchInstrument::UsbKey(), path, "");
             if (esito == BackupMemoria::Esito::Completato) return std::nullopt;
             return s.host.MessageTexts().empty() ? "" : s.host.MessageTexts().back();
         }},
    };
}

// A tmpfs of a few pages mounted for the test: filled, it refuses every further byte.
class SmallDisk {
public:
    SmallDisk()
    {
        if (::geteuid() != 0) return;
        ok_ = ::mount("zemtest", folder_.path().c_str(), "tmpfs", 0, "size=64k") == 0;
    }
    ~SmallDisk()
    {
        if (ok_) ::umount2(folder_.path().c_str(), MNT_DETACH);
    }
    bool Mounted() const { return ok_; }
    const TempFolder& Folder() const { return folder_; }
    void Fill() const
    {
        const int fd = ::open((folder_ / "filler").c_str(), O_WRONLY | O_CREAT, 0600);
        const std::string block(4096, 'x');
        while (::write(fd, block.data(), block.size()) > 0) {}
        while (::write(fd, block.data(), 1) > 0) {}
        ::close(fd);
    }

private:
    TempFolder folder_;
    bool ok_ = false;
};

TEST(FileWriters, OnAFullDiskEveryWriterFailsSaysWhyAndLeavesTheOldFile)
{
    for (const auto& w : Writers()) {
        SmallDisk disk;
        if (!disk.Mounted()) GTEST_SKIP() << "mounting a small tmpfs needs root";
        const std::string old = "[Main]\r\nPassword=OLD\r\n";
        const std::string file = disk.Folder().Write(w.file, old);
        disk.Fill();
        const auto error = w.write(file);
        ASSERT_TRUE(error.has_value()) << w.name;
        if (!error->empty()) {
            EXPECT_NE(error->find("No space left on device"), std::string::npos) << w.name << *error;
        }
        EXPECT_EQ(TempFolder::Read(file), old) << w.name;
        EXPECT_EQ(std::distance(fs::directory_iterator(disk.Folder().path()), {}), 2) << w.name;  // no temporary left
    }
}

TEST(FileWriters, LinksPlantedAtTheTargetOrAtOldTemporaryNamesAreNeverWrittenThrough)
{
    for (const auto& w : Writers()) {
        TempFolder dir;
        fs::create_directory(dir.path() / "out");
        const std::string victim = dir.Write("victim", "precious");
        const std::string file = dir / ("out/" + std::string(w.file));
        fs::create_symlink(victim, file);
        // The names earlier versions wrote to before renaming.
        for (const auto& name : {file + ".tmp", file + ".tmp" + std::to_string(::getpid()) + "_0"})
            fs::create_symlink(victim, name);
        EXPECT_EQ(w.write(file), std::nullopt) << w.name;
        EXPECT_EQ(TempFolder::Read(victim), "precious") << w.name;
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(file))) << w.name;
        EXPECT_NE(TempFolder::Read(file), "precious") << w.name;
        EXPECT_TRUE(fs::is_symlink(file + ".tmp")) << w.name;
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
