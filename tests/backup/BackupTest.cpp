#include "main/BackupMemoria.h"
#include "main/TestMemoria.h"
#include "tests/send/SendSite.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace zem::test {
namespace {

namespace fs = std::filesystem;
using Esito = BackupMemoria::Esito;
const std::string kKey = sim::BenchInstrument::UsbKey();

std::string Read(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// An instrument in service with every byte value below 8961, and the backup file of that memory.
std::string Fill(SendSite& s)
{
    s.InService();
    std::ostringstream out;
    for (int a = 0; a < BackupMemoria::kIndirizzi; ++a) {
        if (a >= 1000) s.bench.memory.Configurazione()[a] = std::uint8_t(a * 7);
        out << ' ' << int(s.bench.memory.Configurazione()[a]) << " \r\n";
    }
    return out.str();
}

struct Folder {
    Folder() { fs::create_directories(path); }
    ~Folder() { fs::remove_all(path); }
    fs::path path = fs::temp_directory_path() / ("zem-backup-" + std::to_string(::getpid()));
    std::string file = (path / "m.zemmem").string();
};

TEST(Backup, CopiesTheConfigurationMemoryByteForByteOverEitherPath)
{
    for (const bool mailbox : {false, true}) {
        for (const auto& key : {kKey, sim::BenchInstrument::UdpKey()}) {
            SendSite s(mailbox);
            const std::string expected = Fill(s);
            Folder dir;
            s.host.ChooseFile(dir.file);
            EXPECT_EQ(BackupMemoria(s.host, s.platform.Platform(), s).Esporta(key, std::nullopt, "/p"), Esito::Completato);
            EXPECT_EQ(Read(dir.file), expected) << mailbox << key;
            EXPECT_EQ(s.host.MessageTexts(), std::vector<std::string>{"Exporting completed."});
            EXPECT_EQ(s.host.Messages().at(0).icon, ui::MsgIcon::Information);
            EXPECT_EQ(s.host.FileDialogs().at(0).title, "OLD - Memory backup");
            EXPECT_EQ(fs::directory_iterator(dir.path)->path(), dir.file);  // nothing left beside it
        }
    }
}

TEST(Backup, AFailedReadKeepsTheOldFileAndWhatWasReadBesideIt)
{
    SendSite s;
    const std::string expected = Fill(s);
    Folder dir;
    auto& reads = s.bench.memory.Guasti().lettureConsentite;
    reads = 1000000;  // a complete run first, to learn how many reads one takes
    BackupMemoria(s.host, s.platform.Platform(), s).Esporta(kKey, dir.file + "1", "");
    std::ofstream(dir.file) << "old";
    reads = 1000000 - reads - 100;  // the last 100 frames of the run do not come
    s.host.Answer(ui::MsgAnswer::Yes);  // replace the old file
    EXPECT_EQ(BackupMemoria(s.host, s.platform.Platform(), s).Esporta(kKey, dir.file, ""), Esito::Fallito);
    EXPECT_EQ(Read(dir.file), "old");
    const std::string partial = Read(dir.file + ".partial");
    EXPECT_EQ(partial, expected.substr(0, partial.size()));
    // Whole reads of 255 bytes only: the one that failed leaves nothing half-read behind.
    const auto lines = std::count(partial.begin(), partial.end(), '\n');
    EXPECT_TRUE(lines > 0 && lines < BackupMemoria::kIndirizzi && lines % 255 == 0) << lines;
    EXPECT_FALSE(fs::exists(dir.file + ".tmp"));
    EXPECT_EQ(s.host.MessageTexts().back(), "Communication error.");
}

// A stop asked for while reading writes no file, and says so.
TEST(Backup, AStopWhileReadingWritesNoFile)
{
    SendSite s;
    Folder dir;
    s.InService(), s.host.AtDoEvents(5, [&] { s.stop = true; });
    EXPECT_EQ(BackupMemoria(s.host, s.platform.Platform(), s).Esporta(kKey, dir.file, ""), Esito::Annullato);
    EXPECT_TRUE(s.host.MessageTexts() == std::vector<std::string>{BackupMemoria::kFermato} && fs::is_empty(dir.path));
}

// The instrument says who it is, then misses the next exchange of the opening: the backup ends
// there, says so, and neither the instrument (no update mode, no byte changed) nor a file is written.
TEST(Backup, AnOpeningThatMeetsAFaultWritesNothingAnywhere)
{
    for (const auto& key : {kKey, sim::BenchInstrument::UdpKey()}) {
        SendSite s;
        Fill(s);
        const auto before = s.bench.memory.Configurazione();
        int asked = 0;  // the channel's probe, then the configuration's own identity request
        s.bench.instrument.SetCommand(1, [&](auto) {
            if (++asked == 2) s.bench.instrument.Faults().silence = 4;  // every attempt of the next exchange
            const auto& o = s.bench.memory.Opzioni();
            return std::optional<std::vector<std::uint8_t>>({std::uint8_t((o.estensioni & 0x1F) | (o.configurazioneInPRAM ? 0 : 0x20)), o.protocollo});
        });
        Folder dir;
        EXPECT_EQ(BackupMemoria(s.host, s.platform.Platform(), s).Esporta(key, dir.file, ""), Esito::Fallito);
        EXPECT_EQ(s.host.MessageTexts(), std::vector<std::string>{"No answer from the instrument"});
        EXPECT_TRUE(s.bench.memory.Configurazione() == before && !s.bench.memory.UpdateMode()) << key;
        EXPECT_EQ(s.bench.memory.Riavvii(), 0);
        EXPECT_TRUE(fs::is_empty(dir.path));
    }
}

// A stuck line fails; sound memory passes, whether or not this run switched update mode, and is
// left without a configuration, so that the next send clears it whole and succeeds.
TEST(Memtest, PassesOnlyOnSoundMemoryAndLeavesItForTheNextSend)
{
    for (const int line : {-1, -2, 3, 9, 14, 18}) {
        SendSite s;
        s.InService();
        s.bench.memory.SetUpdateMode(line == -2);
        s.bench.memory.Guasti().lineaPRamBloccata = std::max(line, -1);
        s.host.Answer(ui::MsgAnswer::Yes);
        const bool sound = line < 0;
        EXPECT_EQ(TestMemoria(s.host, s.platform.Platform(), s).Esegui(kKey) == TestMemoria::Esito::Superato, sound);
        EXPECT_EQ(s.host.MessageTexts().back(), sound ? "Test memory OK" : "Test memory fail.") << line;
        EXPECT_EQ(s.host.Messages().front().defaultButton, ui::MsgAnswer::No) << "clearing is never the default";
        if (!sound) continue;
        EXPECT_EQ(s.bench.memory.Riavvii(), line == -2 ? 0 : 1);
        // The restart into update mode is told while it lasts.
        EXPECT_EQ(s.statuses, line == -2 ? std::vector<std::string>{} : std::vector<std::string>{"Restarting the instrument..."});
        EXPECT_NE(s.Header().substr(0, 3), "ZEM");
        EXPECT_EQ(s.Send(ProfiloMisto(), kKey, {ui::MsgAnswer::Yes, ui::MsgAnswer::Yes}), SendOutcome::Succeeded);
    }
}

// A stop before the memory is cleared leaves the instrument at work as found; during a pass it
// ends the pass, and the instrument waits in update mode for a profile.
TEST(Memtest, AStopEndsTheStepUnderWayAndSaysTheState)
{
    for (const bool during : {false, true}) {
        SendSite s;
        s.InService();
        s.stop = !during;
        s.host.AtDoEvents(50, [&] { s.stop = true; });
        s.host.Answer(ui::MsgAnswer::Yes);
        EXPECT_NE(TestMemoria(s.host, s.platform.Platform(), s).Esegui(kKey), TestMemoria::Esito::Superato);
        EXPECT_NE(s.host.MessageTexts().back().find(during ? "stays in update mode with no" : "nothing was written"), std::string::npos);
        EXPECT_EQ(s.bench.memory.UpdateMode(), during);
        EXPECT_EQ(s.Header().starts_with("ZEM"), !during);
    }
}

} // namespace
} // namespace zem::test
