#include "main/BackupMemoria.h"
#include "main/LetturaBackup.h"
#include "main/RipristinoMemoria.h"
#include "tests/send/SendSite.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace zem::test {
namespace {

namespace fs = std::filesystem;
using Esito = RipristinoMemoria::Esito;

std::string Read(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string Lines(int count, int value = 7)
{
    std::ostringstream out;
    for (int a = 0; a < count; ++a) out << ' ' << value << " \r\n";
    return out.str();
}

struct Folder {
    Folder() { fs::create_directories(path); }
    ~Folder() { fs::remove_all(path); }
    fs::path path = fs::temp_directory_path() / ("zem-restore-" + std::to_string(::getpid()));
    std::string File(const std::string& name) const { return (path / name).string(); }
};

Esito Restore(SendSite& s, const std::string& file, const std::string& key = sim::BenchInstrument::UsbKey())
{
    s.host.Answer(ui::MsgAnswer::Yes);
    s.TypePassword();
    return RipristinoMemoria(s.host, s.platform.Platform(), s.gate, s).Ripristina(key, file, "");
}

// A memory in service backed up, restored into a blank instrument and backed up again gives the
// same file, on either memory path and channel.
TEST(Restore, ABackupRestoredToABlankInstrumentBacksUpByteIdentical)
{
    for (const bool mailbox : {false, true}) {
        for (const auto& key : {sim::BenchInstrument::UsbKey(), sim::BenchInstrument::UdpKey()}) {
            SCOPED_TRACE(std::to_string(mailbox) + key);
            Folder dir;
            SendSite original(mailbox);
            original.InService();
            for (int a = 1000; a < BackupMemoria::kIndirizzi; ++a) original.bench.memory.Configurazione()[a] = std::uint8_t(a * 7);
            ASSERT_EQ(BackupMemoria(original.host, original.platform.Platform(), original).Esporta(key, dir.File("a.zemmem"), ""),
                      BackupMemoria::Esito::Completato);

            SendSite blank(mailbox);
            blank.bench.memory.SetDurataRiavvio([&] { return blank.platform.clock.Monotonic(); }, 0.3);
            EXPECT_EQ(Restore(blank, dir.File("a.zemmem"), key), Esito::Completato);
            EXPECT_EQ(blank.host.MessageTexts().back(), "Restoring memory successfully.");
            const auto& asked = *std::ranges::find(blank.host.Messages(), ui::Question::ConfirmRestore, &ui::MessageBoxRequest::question);
            EXPECT_EQ(asked.defaultButton, ui::MsgAnswer::No) << "replacing is never the default";
            // A blank memory is opened by the switch into update mode: only leaving it is this run's own.
            EXPECT_EQ(blank.statuses, (std::vector<std::string>{"Writing memory", "Verifying", "Writing header",
                                                                "Restarting the instrument..."}));
            EXPECT_EQ(blank.value, blank.maximum);
            EXPECT_FALSE(blank.bench.memory.UpdateMode());
            ASSERT_EQ(BackupMemoria(blank.host, blank.platform.Platform(), blank).Esporta(key, dir.File("b.zemmem"), ""),
                      BackupMemoria::Esito::Completato);
            EXPECT_EQ(Read(dir.File("b.zemmem")), Read(dir.File("a.zemmem")));
        }
    }
}

// A stop asked for before the writing leaves the instrument as it was found; during it, the header
// stays cleared in update mode.
TEST(Restore, AStopEndsAfterTheStepUnderWayWithTheInstrumentSafe)
{
    Folder dir;
    std::ofstream(dir.File("m.zemmem"), std::ios::binary) << " 90 \r\n 69 \r\n 77 \r\n 53 \r\n" + Lines(LetturaBackup::kRighe - 4);
    for (const bool writing : {false, true}) {
        SendSite s;
        s.InService();
        const auto before = s.bench.memory.Configurazione();
        if (writing)
            s.host.AtDoEvents(10, [&] { s.stop = true; });
        else
            s.stop = true;
        EXPECT_EQ(Restore(s, dir.File("m.zemmem")), writing ? Esito::Fallito : Esito::Rifiutato);
        EXPECT_EQ(s.bench.memory.UpdateMode(), writing);
        if (writing) EXPECT_EQ(s.Header(), std::string(4, '\0'));
        else EXPECT_TRUE(s.bench.memory.Configurazione() == before && s.bench.memory.Riavvii() == 0);
    }
}

// What is not a backup in the tool's own form is refused with its line, and the instrument is
// never opened.
TEST(Restore, AMalformedBackupIsRefusedWithItsLineNumber)
{
    const std::string good = Lines(LetturaBackup::kRighe);
    const std::string line = " 7 \r\n";
    const struct {
        const char* what;
        std::string text;
        int line;
    } cases[] = {
        {"empty", "", 1},
        {"one line short", Lines(LetturaBackup::kRighe - 1), LetturaBackup::kRighe},
        {"one line more", good + line, LetturaBackup::kRighe + 1},
        {"a value past a byte", Lines(99) + " 256 \r\n" + Lines(LetturaBackup::kRighe - 100), 100},
        {"a negative value", " -1 \r\n" + Lines(LetturaBackup::kRighe - 1), 1},
        {"a line without its blanks", Lines(4) + "7\r\n" + Lines(LetturaBackup::kRighe - 5), 5},
        {"a leading zero", Lines(2) + " 07 \r\n" + Lines(LetturaBackup::kRighe - 3), 3},
        {"a bare line feed", Lines(10) + " 7 \n" + Lines(LetturaBackup::kRighe - 11), 11},
        {"the last line unended", good.substr(0, good.size() - 2), LetturaBackup::kRighe},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(LeggiBackup(c.text).rigaErrata, c.line);
        EXPECT_TRUE(LeggiBackup(c.text).bytes.empty());
    }
    const LetturaBackup ok = LeggiBackup(Lines(LetturaBackup::kRighe - 1, 255) + " 0 \r\n");
    ASSERT_TRUE(ok.Valida());
    EXPECT_EQ(ok.bytes.front(), 255);
    EXPECT_EQ(ok.bytes.back(), 0);

    Folder dir;
    std::ofstream(dir.File("bad.zemmem"), std::ios::binary) << Lines(99) + " 300 \r\n";
    SendSite s;
    s.InService();
    const auto before = s.bench.memory.Configurazione();
    EXPECT_EQ(Restore(s, dir.File("bad.zemmem")), Esito::Fallito);
    EXPECT_EQ(s.host.MessageTexts(), std::vector<std::string>{"Memory backup file error at line 100.\r\n" + dir.File("bad.zemmem")});
    EXPECT_EQ(s.bench.instrument.FramesExecuted(), 0u);
    EXPECT_EQ(s.bench.memory.Configurazione(), before);
}

// A byte that does not stay written is found before the header: the memory stays unsigned.
TEST(Restore, AReadBackDifferenceLeavesTheHeaderClearedAndFails)
{
    Folder dir;
    std::ofstream(dir.File("m.zemmem"), std::ios::binary) << " 90 \r\n 69 \r\n 77 \r\n 53 \r\n" + Lines(LetturaBackup::kRighe - 4);
    SendSite s;
    s.InService();
    s.bench.instrument.SetCommand(14, [&](std::span<const std::uint8_t> a) {
        const std::uint32_t at = a[0] | (a[1] << 8);
        for (std::size_t i = 0; i < a[3]; ++i) s.bench.memory.Configurazione()[at + i] = at + i == 5000 ? 0 : a[4 + i];
        return std::optional<std::vector<std::uint8_t>>(std::vector<std::uint8_t>{1});
    });
    EXPECT_EQ(Restore(s, dir.File("m.zemmem")), Esito::Fallito);
    EXPECT_EQ(s.host.MessageTexts().back(), "Programming memory fail.\r\nFirst difference at address 5000 (0x1388).");
    EXPECT_EQ(s.Header(), std::string(4, '\0'));
    EXPECT_TRUE(s.bench.memory.UpdateMode());
}

} // namespace
} // namespace zem::test
