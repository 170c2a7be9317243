#include "tests/EveryControlForm.h"

#include "sim/FakeClock.h"
#include "ui/ScriptedHost.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zem::ui {
namespace {

using zem::test::EveryControlForm;
using ::testing::DoubleNear;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

std::string ThrownBy(const std::function<void()>& action)
{
    try {
        action();
    } catch (const std::logic_error& e) {
        return e.what();
    }
    return "nothing thrown";
}

TEST(ScriptedHost, LogsEveryMessageWithTheApplicationTitleAndTheDefaultButtonItHas)
{
    ScriptedHost host("ZEM Setup");
    host.Answer(MsgAnswer::Cancel);
    host.Answer(MsgAnswer::Retry);
    EXPECT_EQ(host.MsgBox("Communication error", MsgButtons::OK, MsgIcon::Critical), MsgAnswer::OK);
    EXPECT_EQ(host.MsgBox("Profile has been changed.\r\nSave changes?", MsgButtons::YesNoCancel, MsgIcon::Question),
              MsgAnswer::Cancel);
    host.MsgBox("Get IP-address timeout.", MsgButtons::RetryCancel, MsgIcon::Exclamation, MsgAnswer::No);
    EXPECT_EQ(host.PendingAnswers(), 0u);

    const auto& m = host.Messages();
    ASSERT_EQ(m.size(), 3u);
    EXPECT_EQ(m[0].title, "ZEM Setup");
    EXPECT_EQ(m[0].icon, MsgIcon::Critical);
    EXPECT_EQ(m[1].text, "Profile has been changed.\r\nSave changes?");
    EXPECT_EQ(m[1].defaultButton, MsgAnswer::Yes);
    EXPECT_EQ(m[2].defaultButton, MsgAnswer::Retry) << "a default the box does not have falls back to the first";
}

// A script that leaves its form open, or an unanswered question, fails the test instead of passing it.
TEST(ScriptedHost, AFormLeftOpenOrAQuestionWithoutAnAnswerFailsTheTest)
{
    ScriptedHost host;
    EveryControlForm form(host);
    host.OnForm("FEvery", [](Form&) {});
    EXPECT_THAT(ThrownBy([&] { form.ShowModal(); }), HasSubstr("form FEvery is still open after its script"));
    EXPECT_THAT(ThrownBy([&] { host.MsgBox("Keep the works settings?", MsgButtons::YesNoCancel); }),
                HasSubstr("message box \"Keep the works settings?\" was shown, but no answer is queued"));
}

class Timers : public ::testing::Test {
protected:
    Timers()
    {
        host.OnClockAdvance([this](double seconds) { clock.Advance(seconds); });
        form.Timer1.SetInterval(400);
        form.Timer2.SetInterval(1000);
        form.Timer2.SetEnabled(false);
        form.react = [this](const std::string& handler) {
            ticks.push_back(handler + " at " + std::to_string(host.ElapsedMilliseconds()));
            clockAtTick.push_back(clock.Monotonic());
        };
        host.Track(form);
        form.LoadWindow();
    }
    sim::FakeClock clock{86399.5};
    ScriptedHost host;
    EveryControlForm form{host};
    std::vector<std::string> ticks;
    std::vector<double> clockAtTick;
};

TEST_F(Timers, TickInTimeOrderWithTheClockAlreadyMoved)
{
    form.Timer2.SetEnabled(true);
    host.AdvanceTimers(1200);
    EXPECT_THAT(ticks, ElementsAre("Timer1_Timer at 400", "Timer1_Timer at 800", "Timer2_Timer at 1000",
                                   "Timer1_Timer at 1200"));
    EXPECT_THAT(clockAtTick, ElementsAre(DoubleNear(0.4, 1e-9), DoubleNear(0.8, 1e-9),
                                         DoubleNear(1.0, 1e-9), DoubleNear(1.2, 1e-9)));
    EXPECT_NEAR(clock.Timer(), 0.7, 1e-6) << "the clock wraps past midnight as the day goes on";
}

} // namespace
} // namespace zem::ui
