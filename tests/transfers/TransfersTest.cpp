// Block transfers against the loader's single bytes: the same memories and backup files, loaders
// that do not take blocks, and a read-back that keeps a wrong image unsigned.
#include "main/BackupMemoria.h"
#include "main/TestMemoria.h"
#include "tests/profile/TempFolder.h"
#include "tests/send/SendSite.h"

namespace zem::test {
namespace {

using ui::MsgAnswer;
using Caricatore = sim::SimulatedMemory::Caricatore;
const std::string kKey = sim::BenchInstrument::UsbKey();

struct Sent {
    std::vector<std::uint8_t> memory;
    std::string backup, backupInUpdateMode, last;
    std::uint64_t frames = 0;
    SendOutcome outcome = SendOutcome::Failed;
};

std::string Backup(SendSite& s, const std::string& file)
{
    LinkPlatform links = s.platform.Platform();
    links.singoloByte = s.compat;
    BackupMemoria(s.host, links, s).Esporta(kKey, file, "");
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// ProfiloMisto sent over an instrument in service (works cleared), then backed up as it runs and,
// on the PRAM path, once more in update mode, where its loader answers (a mailbox instrument in
// update mode does not report its mailbox, so it cannot be backed up there).
Sent SendAndBackUp(bool mailbox, bool compat, Caricatore loader = Caricatore::Completo)
{
    SendSite s(mailbox);
    s.compat = compat;
    s.InService();
    s.bench.memory.Guasti().caricatore = loader;
    Sent r;
    const std::uint64_t before = s.bench.instrument.FramesExecuted();
    r.outcome = s.Send(ProfiloMisto(), kKey, {MsgAnswer::Yes, MsgAnswer::Yes});
    r.frames = s.bench.instrument.FramesExecuted() - before;
    r.last = s.host.MessageTexts().back();
    r.memory = s.bench.memory.Configurazione();
    TempFolder dir;
    r.backup = Backup(s, dir / "a.zemmem");
    s.bench.memory.SetUpdateMode(true);
    r.backupInUpdateMode = mailbox ? r.backup : Backup(s, dir / "b.zemmem");
    return r;
}

TEST(Transfers, BlocksAndSingleBytesLeaveTheSameMemoryAndTheSameBackupOnEitherPath)
{
    for (const bool mailbox : {false, true}) {
        SCOPED_TRACE(mailbox ? "mailbox" : "PRAM");
        const Sent fast = SendAndBackUp(mailbox, false), single = SendAndBackUp(mailbox, true);
        ASSERT_TRUE(fast.outcome == SendOutcome::Succeeded && single.outcome == SendOutcome::Succeeded);
        EXPECT_TRUE(fast.memory == single.memory);
        EXPECT_EQ(std::count(fast.backup.begin(), fast.backup.end(), '\n'), BackupMemoria::kIndirizzi);
        EXPECT_TRUE(fast.backup == single.backup && fast.backupInUpdateMode == single.backup);
        EXPECT_TRUE(single.backupInUpdateMode == single.backup);
        EXPECT_LT(fast.frames * 4, single.frames) << fast.frames << " against " << single.frames;
    }
}

// Either loader is found out on the first block and the session goes on one byte a frame.
TEST(Transfers, ALoaderThatRefusesBlocksOrKeepsTheirFirstByteStillGetsTheWholeImage)
{
    for (const bool mailbox : {false, true}) {
        const Sent reference = SendAndBackUp(mailbox, false);
        for (const Caricatore loader : {Caricatore::RifiutaBlocchi, Caricatore::SoloPrimoByte}) {
            SCOPED_TRACE(std::to_string(mailbox) + " " + std::to_string(static_cast<int>(loader)));
            const Sent r = SendAndBackUp(mailbox, false, loader);
            EXPECT_EQ(r.outcome, SendOutcome::Succeeded) << r.last;
            EXPECT_TRUE(r.memory == reference.memory && r.backupInUpdateMode == reference.backup);
        }
    }
}

TEST(Transfers, TheMemoryTestPassesOnALoaderThatKeepsOnlyTheFirstByteOfABlock)
{
    SendSite s;
    s.InService();
    s.bench.memory.Guasti().caricatore = Caricatore::SoloPrimoByte;
    s.host.Answer(MsgAnswer::Yes);
    EXPECT_EQ(TestMemoria(s.host, s.platform.Platform(), s).Esegui(kKey), TestMemoria::Esito::Superato);
    EXPECT_EQ(s.host.MessageTexts().back(), "Test memory OK");
}

// A cell that keeps the wrong byte: the image is read back whole before "ZEM5" would be written.
TEST(Transfers, AByteThatReadsBackWrongFailsTheSendAndLeavesTheHeaderCleared)
{
    for (const bool mailbox : {false, true}) {
        SendSite s(mailbox);
        s.InService();
        s.bench.memory.Guasti().cellaDifettosa = 0x100;
        EXPECT_EQ(s.Send(ProfiloMisto(), kKey, {MsgAnswer::Yes, MsgAnswer::Yes}), SendOutcome::Failed);
        EXPECT_EQ(s.host.MessageTexts().back(), "Programming memory fail.\r\nFirst difference at address 256 (0x0100).");
        EXPECT_EQ(s.Header(), std::string(4, '\0'));
        EXPECT_TRUE(s.bench.memory.UpdateMode() && s.ReadBack(kKey).empty());
    }
}

} // namespace
} // namespace zem::test
