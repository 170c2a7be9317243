#include "main/BackupMemoria.h"
#include "main/TestMemoria.h"
#include "tests/send/SendSite.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace zem::test {
namespace {

namespace fs = std::filesystem;
using ui::MsgAnswer;
const std::vector<std::string> kOk{"Exporting completed."};

std::string Read(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The backup file of the first 8961 bytes of `memory`.
std::string Expected(const std::vector<std::uint8_t>& memory)
{
    std::ostringstream out;
    for (int a = 0; a < BackupMemoria::kIndirizzi; ++a) out << ' ' << int(memory[a]) << " \r\n";
    return out.str();
}

struct Folder {
    Folder() { fs::create_directories(path); }
    ~Folder() { fs::remove_all(path); }
    fs::path path = fs::temp_directory_path() / ("zem-backup-" + std::to_string(::getpid()));
};

// An instrument in service with every value from 0 to 255 somewhere below 8961.
void Fill(SendSite& s)
{
    s.InService();
    for (int a = 1000; a < BackupMemoria::kIndirizzi; ++a) s.bench.memory.Configurazione()[a] = std::uint8_t(a * 7);
}

TEST(Backup, CopiesTheConfigurationMemoryByteForByteOverEitherPath)
{
    for (const bool mailbox : {false, true}) {
        for (const auto& key : {sim::BenchInstrument::UsbKey(), sim::BenchInstrument::UdpKey()}) {
            SendSite s(mailbox);
            Fill(s);
            Folder dir;
            s.host.ChooseFile((dir.path / "m.zemmem").string());
            EXPECT_EQ(BackupMemoria(s.host, s.platform.Platform(), s).Esporta(key, std::nullopt, "/p"),
                      BackupMemoria::Esito::Completato);
            EXPECT_EQ(Read(dir.path / "m.zemmem"), Expected(s.bench.memory.Configurazione())) << mailbox << key;
            EXPECT_EQ(s.host.MessageTexts(), kOk);
            EXPECT_EQ(s.host.FileDialogs().at(0).title, "OLD - Memory backup");
            EXPECT_EQ(fs::directory_iterator(dir.path)->path().filename(), "m.zemmem");  // nothing left beside it
        }
    }
}

TEST(Backup, AFailedReadKeepsTheOldFileAndWhatWasReadBesideIt)
{
    SendSite s;
    Fill(s);
    Folder dir;
    const auto file = (dir.path / "m.zemmem").string();
    const auto key = sim::BenchInstrument::UsbKey();
    auto& reads = s.bench.memory.Guasti().lettureConsentite;
    reads = 1000000;  // a complete run first, to learn how many reads one takes
    BackupMemoria(s.host, s.platform.Platform(), s).Esporta(key, file + "1", "");
    const int perRun = 1000000 - reads;
    std::ofstream(file) << "old";
    reads = perRun - 3000;
    EXPECT_EQ(BackupMemoria(s.host, s.platform.Platform(), s).Esporta(key, file, ""), BackupMemoria::Esito::Fallito);
    EXPECT_EQ(Read(file), "old");
    const std::string partial = Read(file + ".partial"), all = Expected(s.bench.memory.Configurazione());
    EXPECT_EQ(partial, all.substr(0, partial.size()));
    EXPECT_EQ(std::count(partial.begin(), partial.end(), '\n'), BackupMemoria::kIndirizzi - 3000);
    EXPECT_FALSE(fs::exists(file + ".tmp"));
    EXPECT_EQ(s.host.MessageTexts().back(), "Communication error.");
}

TEST(Backup, AFileThatCannotBeCreatedIsToldAsSuch)
{
    SendSite s;
    Fill(s);
    Folder dir;
    std::ofstream(dir.path / "plain") << "";
    const auto file = (dir.path / "plain" / "m.zemmem").string();
    EXPECT_EQ(BackupMemoria(s.host, s.platform.Platform(), s).Esporta(sim::BenchInstrument::UsbKey(), file, ""),
              BackupMemoria::Esito::Fallito);
    EXPECT_EQ(s.host.MessageTexts(), std::vector<std::string>{"File writing error.\r\n" + file});
}

} // namespace
} // namespace zem::test
