#include "tests/main/MainWindowSession.h"

#include "ui/FormObserver.h"

#include <gtest/gtest.h>

namespace zem::test {
namespace {

using ui::MsgAnswer;

// Counts the moments the window is really gone, as the front-end sees them.
struct ClosedCounter final : ui::FormObserver {
    void ControlChanged(ui::Control&) override {}
    void FormChanged(ui::Form&) override {}
    void FormClosed(ui::Form&) override { ++closed; }
    int closed = 0;
};

// The technician closes the main window while a workflow runs its own event loop (here the
// change-password window): the close is marked at once and finished after the workflow returns.
TEST(ClosingTheWindow, DuringAWorkflowIsMarkedAndFinishedOnlyAfterTheWorkflowUnwound)
{
    MainWindowSession s;
    ClosedCounter counter;
    s.window->SetObserver(&counter);
    bool closeAccepted = false;
    bool markedInside = false;
    int closedInside = -1;
    s.host.OnForm("FSetPassword", [&](ui::Form& dialog) {
        closeAccepted = s.window->RequestClose();
        markedInside = s.window->Chiusura();
        closedInside = counter.closed;
        dialog.Get<ui::CommandButton>("cmdCancel").UserClick();
    });
    s.window->mnuSetPassword.UserClick();
    EXPECT_TRUE(closeAccepted);
    EXPECT_TRUE(markedInside);
    EXPECT_EQ(closedInside, 0);
    EXPECT_EQ(counter.closed, 1);
    EXPECT_FALSE(s.window->Loaded());
    s.window->SetObserver(nullptr);
}

} // namespace
} // namespace zem::test
