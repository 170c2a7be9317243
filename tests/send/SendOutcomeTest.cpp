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

// A stop asked for before anything is written leaves the instrument as it was found; during the
// writing, the header stays cleared in update mode and the next send mends it; once the image is
// written the send ends as it would have.
TEST(SendStop, EndsAfterTheStepUnderWayWithTheInstrumentSafe)
{
    enum class When { Before, Writing, Written };
    for (const When when : {When::Before, When::Writing, When::Written}) {
        SendSite s;
        s.InService();
        const auto before = s.bench.memory.Configurazione();
        s.stop = when == When::Before;
        s.stopWhenWritten = when == When::Written;
        if (when == When::Writing) s.host.AtDoEvents(10, [&] { s.stop = true; });
        const auto outcome = s.Send(ProfiloMisto(), "USB: MR4B0001", {MsgAnswer::Yes, MsgAnswer::Yes});
        const auto texts = s.host.MessageTexts();
        switch (when) {
        case When::Before:
            EXPECT_EQ(outcome, SendOutcome::Refused);
            EXPECT_TRUE(s.bench.memory.Configurazione() == before && !s.bench.memory.UpdateMode());
            EXPECT_EQ(s.bench.memory.Riavvii(), 0);
            break;
        case When::Writing:
            EXPECT_EQ(outcome, SendOutcome::Failed);
            EXPECT_EQ(texts.back(), "Programming memory fail.");
            EXPECT_TRUE(s.Header() == std::string(4, '\0') && s.bench.memory.UpdateMode());
            s.stop = false;
            EXPECT_EQ(s.Send(ProfiloMisto(), "USB: MR4B0001", {MsgAnswer::Yes, MsgAnswer::Yes}), SendOutcome::Succeeded);
            break;
        case When::Written:
            EXPECT_EQ(outcome, SendOutcome::Succeeded);
            EXPECT_EQ(texts.back(), "Sending profile successfully.");
            break;
        }
        EXPECT_TRUE(when == When::Writing || !s.bench.memory.UpdateMode());
    }
}

} // namespace
} // namespace zem::test
