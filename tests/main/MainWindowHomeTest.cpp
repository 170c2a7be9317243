// The main window as the technician's home: the open profile at a glance, the changed marker,
// the recent profiles, a dropped profile.
#include "tests/main/MainWindowSession.h"

#include <gtest/gtest.h>

namespace zem::test {
namespace {

std::string Row(const FMainZEMSETUP& w, int i)
{
    std::string row;
    for (int c = 0; c < w.lvwMisure.ColumnCount(); ++c) row += (c ? " | " : "") + w.lvwMisure.ItemText(i, c);
    return row;
}

TEST(MainWindowHome, ShowsTheOpenProfileItsConflictsAndWhetherItChanged)
{
    MainWindowSession s;
    EXPECT_EQ(s.window->lblStrumento.Caption(), "No profile is open: New profile (Ctrl+N) or Open profile (Ctrl+O).");
    s.Open(s.Example());
    EXPECT_EQ(s.window->lblStrumento.Caption() + " / " + s.window->Caption(), "Name: Press line 3   Address: 12 / ZEM Setup - PressLine3");
    ASSERT_EQ(s.window->lvwMisure.ItemCount(), 3);
    EXPECT_TRUE(Row(*s.window, 0).starts_with("1 - Riveting press | Press force-position | ")) << Row(*s.window, 0);
    EXPECT_EQ(s.window->lblConflitti.Caption() + s.window->lblStato.Caption(), s.Example());
    s.window->Profilo().SetnInput(1, 13, 8);  // input 7 given two functions
    s.window->Profilo().SetnInput(2, 1, 8);
    s.Change("EDITED");
    EXPECT_EQ(s.window->Caption() + " / " + s.window->lblStato.Caption(), "ZEM Setup - PressLine3 * / " + s.Example() + " - changed");
    EXPECT_EQ(s.window->lblConflitti.Caption(), "Conflicts: input 7");
    EXPECT_NE(Row(*s.window, 0).find("7 Increment serial number (conflict)"), std::string::npos) << Row(*s.window, 0);
}

TEST(MainWindowHome, TheFileMenuOffersTheLastProfilesNewestFirstAndADroppedProfileOpens)
{
    MainWindowSession s;
    s.settings.SaveSetting("ZEM Setup", "Main", "UltimoProfilo", s.Example());  // all an earlier version kept
    s.window->AggiornaMenu();
    EXPECT_EQ(s.window->mnuRecente[0]->Caption(), "&1 " + s.Example());
    EXPECT_FALSE(s.window->mnuRecente[1]->Visible());
    const std::string other = s.Path("profiles/OTHER.ZEMP");
    std::filesystem::copy_file(s.Example(), other);
    EXPECT_FALSE(s.window->DropFile(s.Path("profiles/notes.txt")));
    EXPECT_TRUE(s.window->DropFile(other));
    s.Open(s.Example());
    s.Open(other);
    EXPECT_EQ(s.window->mnuRecente[1]->Caption(), "&2 " + s.Example()) << "each profile once";
    s.Change("EDITED");
    s.host.Answer(ui::MsgAnswer::Cancel);
    EXPECT_TRUE(s.window->mnuRecente[1]->UserClick());
    EXPECT_EQ(s.window->FileCorrente(), other) << "cancelled: the changed profile stays";
    s.host.Answer(ui::MsgAnswer::No);
    EXPECT_TRUE(s.window->mnuRecente[1]->UserClick());
    EXPECT_EQ(s.window->FileCorrente() + " " + s.Setting("Recente1"), s.Example() + " " + s.Example());
}

} // namespace
} // namespace zem::test
