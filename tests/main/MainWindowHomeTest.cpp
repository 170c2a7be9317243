// The main window as the technician's home: the open profile at a glance, the changed marker,
// the recent profiles, a dropped profile.
#include "tests/main/MainWindowSession.h"

#include <gtest/gtest.h>

namespace zem::test {
namespace {

TEST(MainWindowHome, ShowsTheProfileItsConflictsAndChangesAndOffersTheLastProfilesNewestFirst)
{
    MainWindowSession s;
    s.settings.SaveSetting("ZEM Setup", "Main", "UltimoProfilo", s.Example());  // all an earlier version kept
    s.window->AggiornaMenu();
    EXPECT_TRUE(s.window->mnuRecente[0]->Caption() == "&1 " + s.Example() && !s.window->mnuRecente[1]->Visible());
    const std::string other = s.Path("profiles/OTHER.ZEMP");
    std::filesystem::copy_file(s.Example(), other);
    EXPECT_TRUE(!s.window->DropFile(s.Path("profiles/notes.txt")) && s.window->DropFile(other));
    s.Open(s.Example());
    EXPECT_EQ(s.window->lblStrumento.Caption() + " / " + s.window->Caption(), "Name: Press line 3   Address: 12 / ZEM Setup - PressLine3");
    ASSERT_EQ(s.window->lvwMisure.ItemCount(), 3);
    EXPECT_EQ(s.window->lvwMisure.ItemText(0, 0) + " | " + s.window->lvwMisure.ItemText(0, 1), "1 - Riveting press | Press force-position");
    EXPECT_EQ(s.window->lblConflitti.Caption() + s.window->lblStato.Caption(), s.Example());
    s.window->Profilo().SetnInput(1, 13, 8);  // input 7 given two functions
    s.window->Profilo().SetnInput(2, 1, 8);
    s.Change("EDITED");
    EXPECT_EQ(s.window->Caption() + " / " + s.window->lblStato.Caption(), "ZEM Setup - PressLine3 * / " + s.Example() + " - changed");
    EXPECT_EQ(s.window->lblConflitti.Caption(), "Conflicts: input 7");
    EXPECT_NE(s.window->lblIngressi.Caption().find("7 Increment serial number (conflict)"), std::string::npos)
        << s.window->lblIngressi.Caption();
    ASSERT_TRUE(s.window->lvwMisure.UserClickItem(1));
    s.Change("EDITED AGAIN");
    EXPECT_TRUE(s.window->lblIngressi.Caption().starts_with("Inputs of 2 - Cylinder test: ")) << "the measure looked at stays";
    EXPECT_TRUE(s.window->lblUscite.Caption().starts_with("Outputs of 2 - Cylinder test: "));
    EXPECT_EQ(s.window->mnuRecente[1]->Caption(), "&2 " + other) << "each profile once";
    s.host.Answer(ui::MsgAnswer::Cancel);
    EXPECT_TRUE(s.window->mnuRecente[1]->UserClick());
    EXPECT_EQ(s.window->FileCorrente(), s.Example()) << "cancelled: the changed profile stays";
    s.host.Answer(ui::MsgAnswer::No);
    EXPECT_TRUE(s.window->mnuRecente[1]->UserClick());
    EXPECT_EQ(s.window->FileCorrente() + " " + s.Setting("Recente1"), other + " " + other);
}

} // namespace
} // namespace zem::test
