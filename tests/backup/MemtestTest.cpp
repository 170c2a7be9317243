#include "main/TestMemoria.h"
#include "tests/send/SendSite.h"

namespace zem::test {
namespace {

using ui::MsgAnswer;

TestMemoria::Esito RunTest(SendSite& s)
{
    s.host.Answer(MsgAnswer::Yes);
    return TestMemoria(s.host, s.platform.Platform(), s).Esegui(sim::BenchInstrument::UsbKey());
}

TEST(Memtest, PassesOnSoundMemoryAndLeavesItBlankForTheNextSend)
{
    for (const bool alreadyInUpdateMode : {false, true}) {
        SendSite s;
        s.InService();
        s.bench.memory.SetUpdateMode(alreadyInUpdateMode);
        EXPECT_EQ(RunTest(s), TestMemoria::Esito::Superato);
        EXPECT_EQ(s.host.MessageTexts(), (std::vector<std::string>{"Are you sure to clear the instrument memory?", "Test memory OK"}));
        EXPECT_EQ(s.maximum, 19);  // the last pass: one step an address line
        EXPECT_EQ(s.bench.memory.Riavvii(), alreadyInUpdateMode ? 0 : 1);
        EXPECT_TRUE(s.bench.memory.UpdateMode());
        EXPECT_NE(s.Header().substr(0, 3), "ZEM");  // no configuration left to take for one
        // A blank memory: the send clears it whole after its question, and succeeds.
        EXPECT_EQ(s.Send(ProfiloMisto(), sim::BenchInstrument::UsbKey(), {MsgAnswer::Yes, MsgAnswer::Yes}),
                  SendOutcome::Succeeded);
        EXPECT_EQ(s.Header(), "ZEM5");
    }
}

TEST(Memtest, FailsOnAStuckAddressLine)
{
    for (const int line : {3, 9, 14, 18}) {
        SendSite s;
        s.InService();
        s.bench.memory.Guasti().lineaPRamBloccata = line;
        EXPECT_EQ(RunTest(s), TestMemoria::Esito::Fallito) << line;
        EXPECT_EQ(s.host.MessageTexts().back(), "Test memory fail.") << line;
    }
}

TEST(Memtest, NothingHappensWithoutAYes)
{
    SendSite s;
    s.InService();
    s.host.Answer(MsgAnswer::Cancel);
    EXPECT_EQ(TestMemoria(s.host, s.platform.Platform(), s).Esegui(sim::BenchInstrument::UsbKey()),
              TestMemoria::Esito::Rifiutato);
    EXPECT_EQ(s.Header(), "ZEM5");
}

} // namespace
} // namespace zem::test
