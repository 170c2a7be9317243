// Sends that must not report success: a second program's send while one runs, and an instrument
// that still reports its memory error once the profile is in.
#include "tests/send/SendSite.h"

#include <algorithm>
#include <unistd.h>

namespace zem::test {
namespace {

using ui::MsgAnswer;

TEST(SendClaim, ASecondSendWhileOneRunsIsRefusedAndChangesNothing)
{
    for (const std::string key : {"USB: MR4B0001", "IP:127.0.0.1:7000"}) {
        SendSite s;
        s.InService();
        std::optional<SendOutcome> second;
        std::vector<std::uint8_t> during;
        s.host.AtDoEvents(10, [&] {
            during = s.bench.memory.Configurazione();
            const auto frames = s.bench.instrument.FramesExecuted();
            second = InvioProfilo(s.host, s.platform.Platform(), s.gate, s).Invia(ProfiloMisto(), key);
            EXPECT_EQ(s.bench.instrument.FramesExecuted(), frames) << "the second send reached the instrument";
        });
        EXPECT_EQ(s.Send(ProfiloMisto(), key, {MsgAnswer::Yes, MsgAnswer::Yes}), SendOutcome::Succeeded);
        EXPECT_EQ(second, SendOutcome::Failed);
        const std::string refusal = "The instrument is in use by another program (PID " + std::to_string(::getpid()) + ").";
        const auto texts = s.host.MessageTexts();
        EXPECT_EQ(std::count(texts.begin(), texts.end(), refusal), 1) << key;
        EXPECT_EQ(s.host.MessageTexts().back(), "Sending profile successfully.");
        EXPECT_EQ(s.ReadBack(key), kMisto);
        // The claim ends with its send: the next one goes through.
        EXPECT_EQ(s.Send(ProfiloMisto(), key, {MsgAnswer::Yes, MsgAnswer::Yes, MsgAnswer::Yes}), SendOutcome::Succeeded);
    }
}

TEST(SendOutcome, AnInstrumentStillReportingAMemoryErrorAfterTheSendIsAFailure)
{
    SendSite s;
    s.InService();
    s.bench.memory.Guasti().erroreMemoria = true;
    EXPECT_EQ(s.Send(ProfiloMisto(), "USB: MR4B0001", {MsgAnswer::Yes, MsgAnswer::Yes}), SendOutcome::Failed);
    EXPECT_EQ(s.host.MessageTexts().back(), "Programming memory fail.");
    EXPECT_FALSE(s.bench.memory.UpdateMode());
}

} // namespace
} // namespace zem::test
