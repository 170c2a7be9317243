#include "SampleForm.h"

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

using test::SampleForm;
using ::testing::ElementsAre;

class Controls : public ::testing::Test {
protected:
    Controls()
    {
        form.lstTipo.AddItem("Not in use");
        form.lstTipo.AddItem("Press force-position");
        form.LoadWindow();
        form.log.clear();
    }
    ScriptedHost host;
    SampleForm form{host};
};

TEST_F(Controls, TheTechnicianCannotReachWhatIsDisabledHiddenOrClosed)
{
    struct Case {
        const char* name;
        std::function<void(SampleForm&)> arrange;
    };
    const Case cases[] = {
        {"control disabled", [](SampleForm& f) { f.cmdCancel.SetEnabled(false); f.chkSlave.SetEnabled(false); }},
        {"frame hidden", [](SampleForm& f) { f.fraOptions.SetVisible(false); }},
        {"window unloaded", [](SampleForm& f) { f.Unload(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedHost h;
        SampleForm f(h);
        f.LoadWindow();
        c.arrange(f);
        f.log.clear();
        EXPECT_FALSE(f.cmdCancel.UserClick());
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
    form.optOutside.SetValue(true);
    EXPECT_TRUE(form.optA.UserClick());
    EXPECT_TRUE(form.optB.UserClick());
    EXPECT_FALSE(form.optA.Value());
    EXPECT_TRUE(form.optB.Value());
    EXPECT_TRUE(form.optOutside.Value()) << "another container is another group";
    EXPECT_TRUE(form.optB.UserClick()) << "clicking the selected option is still a click";
    EXPECT_THAT(form.log, ElementsAre("chkSlave_Click", "chkSlave_Click", "optOutside_Click", "optA_Click",
                                      "optB_Click", "optB_Click"));
}

TEST_F(Controls, TypingIsCutToTheMaximumLengthInCharacters)
{
    form.txtName.SetMaxLength(5);
    EXPECT_TRUE(form.txtName.UserType("Pressa 1"));
    EXPECT_EQ(form.txtName.Text(), "Press");
    EXPECT_TRUE(form.txtName.UserType("Città di"));
    EXPECT_EQ(form.txtName.Text(), "Città") << "a multi-byte letter counts as one";
    form.txtName.SetText("code may store longer names");
    EXPECT_EQ(form.txtName.Text(), "code may store longer names");
    form.txtName.SetLocked(true);
    EXPECT_FALSE(form.txtName.UserType("x"));
    EXPECT_THAT(form.log, ElementsAre("txtName_Change", "txtName_Change", "txtName_Change"));
}

TEST_F(Controls, TheSelectionFollowsItsEntryAndPositionsOutOfRangeAreRefused)
{
    EXPECT_FALSE(form.lstTipo.SetListIndex(2));
    EXPECT_EQ(form.lstTipo.List(7), "");
    EXPECT_FALSE(form.lstTipo.UserChoose(2));
    EXPECT_FALSE(form.lstTipo.AddItem("x", 3));
    EXPECT_FALSE(form.lstTipo.RemoveItem(2));
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
