// The main settings reached from the main window: by its Profile menu, and as New's next step.
#include "tests/main/MainWindowSession.h"

#include "setup/FSetupStrumento.h"

#include <gtest/gtest.h>

namespace zem::test {
namespace {

TEST(MainSettings, NewWalksIntoTheMainSettingsOfTheTemplateAndTheMenusFollowTheChange)
{
    MainWindowSession s;
    EXPECT_FALSE(s.window->mnuSetupMachine.UserClick()) << "no profile open yet";
    s.host.OnForm("FSetupStrumento", [](ui::Form& f) {
        auto& d = dynamic_cast<FSetupStrumento&>(f);
        EXPECT_EQ(d.Caption(), "Main settings");
        EXPECT_EQ(d.txtNomeMisura[0].Text(), "Press");
        d.txtNome.UserType("PRESSA 7");
        d.cmdOK.UserClick();
    });
    s.window->mnuNuovo.UserClick();
    EXPECT_EQ(s.window->Profilo().Nome, "PRESSA 7");
    EXPECT_TRUE(s.window->Profilo().Modificato);
    EXPECT_FALSE(s.window->mnuDiagnosi.Enabled()) << "the menus were refreshed after the dialog";

    // Reopened from the Profile menu, Cancel keeps what is there.
    s.host.OnForm("FSetupStrumento", [](ui::Form& f) {
        auto& d = dynamic_cast<FSetupStrumento&>(f);
        EXPECT_EQ(d.txtNome.Text(), "PRESSA 7");
        d.txtNome.UserType("ALTRO");
        d.cmdCancel.UserClick();
    });
    EXPECT_TRUE(s.window->mnuSetupMachine.UserClick());
    EXPECT_EQ(s.window->Profilo().Nome, "PRESSA 7");
    EXPECT_EQ(s.host.PendingAnswers(), 0u);
}

} // namespace
} // namespace zem::test
