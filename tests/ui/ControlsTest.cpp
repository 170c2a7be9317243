#include "tests/EveryControlForm.h"

#include "ui/ControlArray.h"
#include "ui/Label.h"
#include "ui/ListBox.h"
#include "ui/ProgressBar.h"
#include "ui/ScriptedHost.h"
#include "ui/TabStrip.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zem::ui {
namespace {

using zem::test::EveryControlForm;
using ::testing::ElementsAre;

class Controls : public ::testing::Test {
protected:
    Controls()
    {
        form.LoadWindow();
        form.log.clear();
    }
    ScriptedHost host;
    EveryControlForm form{host};
};

TEST_F(Controls, TheTechnicianCannotReachWhatIsDisabledHiddenOrClosed)
{
    struct Case {
        const char* name;
        std::function<void(EveryControlForm&)> arrange;
    };
    const Case cases[] = {
        {"control disabled", [](EveryControlForm& f) { f.opA.SetEnabled(false); f.chkSlave.SetEnabled(false); }},
        {"frame hidden", [](EveryControlForm& f) { f.fraSettings.SetVisible(false); }},
        {"window unloaded", [](EveryControlForm& f) { f.Unload(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedHost h;
        EveryControlForm f(h);
        f.LoadWindow();
        c.arrange(f);
        f.log.clear();
        EXPECT_FALSE(f.opA.UserClick());
        EXPECT_FALSE(f.chkSlave.UserClick());
        EXPECT_FALSE(f.chkSlave.Checked());
        EXPECT_TRUE(f.log.empty());
    }
}

TEST_F(Controls, ACheckBoxTogglesAndOptionButtonsExcludeEachOtherWithinTheirContainerOnly)
{
    EXPECT_TRUE(form.chkSlave.UserClick());
    EXPECT_TRUE(form.chkSlave.UserClick());
    EXPECT_FALSE(form.chkSlave.Checked());
    form.opOutside.SetValue(true);
    EXPECT_TRUE(form.opA.UserClick());
    EXPECT_TRUE(form.opB.UserClick());
    EXPECT_FALSE(form.opA.Value());
    EXPECT_TRUE(form.opB.Value());
    EXPECT_TRUE(form.opOutside.Value()) << "another container is another group";
    EXPECT_TRUE(form.opB.UserClick()) << "clicking the selected option is still a click";
    EXPECT_THAT(form.log, ElementsAre("chkSlave_Click", "chkSlave_Click", "opOutside_Click", "opA_Click",
                                      "opB_Click", "opB_Click"));
}

TEST_F(Controls, TypingIsCutToTheMaximumLengthInCharacters)
{
    form.txtNome.SetMaxLength(5);
    EXPECT_TRUE(form.txtNome.UserType("Pressa 1"));
    EXPECT_EQ(form.txtNome.Text(), "Press");
    EXPECT_TRUE(form.txtNome.UserType("Citt\xE0 di"));
    EXPECT_EQ(form.txtNome.Text(), "Citt\xE0") << "one byte a letter, as the instrument keeps it";
    form.txtNome.SetText("code may store longer names");
    EXPECT_EQ(form.txtNome.Text(), "code may store longer names");
    form.txtNome.SetLocked(true);
    EXPECT_FALSE(form.txtNome.UserType("x"));
    EXPECT_THAT(form.log, ElementsAre("txtNome_Change", "txtNome_Change", "txtNome_Change"));
}

TEST_F(Controls, TheSelectionFollowsItsEntryAndPositionsOutOfRangeAreRefused)
{
    EXPECT_FALSE(form.lstTipo.SetListIndex(3));
    EXPECT_EQ(form.lstTipo.List(7), "");
    EXPECT_FALSE(form.lstTipo.UserChoose(3));
    EXPECT_FALSE(form.lstTipo.AddItem("x", 4));
    EXPECT_FALSE(form.lstTipo.RemoveItem(3));
    form.lstTipo.SetItemData(1, 4);
    EXPECT_TRUE(form.lstTipo.UserChoose(1));
    EXPECT_TRUE(form.lstTipo.UserChoose(1));
    EXPECT_EQ(form.lstTipo.Text(), "Press force-position");
    form.lstTipo.AddItem("Reserved", 1);  // at the selected position: the selection moves on with its entry
    EXPECT_EQ(form.lstTipo.ListIndex(), 2);
    EXPECT_EQ(form.lstTipo.ItemData(2), 4);
    form.lstTipo.RemoveItem(0);
    EXPECT_EQ(form.lstTipo.ListIndex(), 1);
    form.lstTipo.RemoveItem(1);
    EXPECT_EQ(form.lstTipo.ListIndex(), -1);
    EXPECT_EQ(form.lstTipo.Text(), "");
    EXPECT_THAT(form.log, ElementsAre("lstTipo_Click", "lstTipo_Click")) << "code changes to the list raise nothing";
}

} // namespace
} // namespace zem::ui
