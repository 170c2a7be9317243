#include "tests/EveryControlForm.h"

#include "ui/FormObserver.h"
#include "ui/ScriptedHost.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zem::ui {
namespace {

using zem::test::EveryControlForm;
using ::testing::ElementsAre;

// Records what a renderer would be told.
class RecordingObserver final : public FormObserver {
public:
    void ControlChanged(Control& control) override { events.push_back("changed " + control.Key()); }
    void FormChanged(Form& form) override { events.push_back("form " + form.Caption()); }
    void FormClosed(Form&) override { events.push_back("closed"); }
    std::vector<std::string> events;
};

TEST(Form, DesignTimePropertiesRaiseNoEventsButChangesAfterLoadDo)
{
    ScriptedHost host;
    EveryControlForm form(host);
    form.txtNome.SetText("design");
    form.chkSlave.SetChecked(true);
    form.lstTipo.SetListIndex(0);
    EXPECT_TRUE(form.log.empty());

    form.LoadWindow();
    form.txtNome.SetText("design");  // unchanged: no event
    form.txtNome.SetText("M1");
    form.chkSlave.SetChecked(true);  // unchanged
    form.chkSlave.SetChecked(false);
    form.lstTipo.SetListIndex(1);
    form.lstTipo.SetListIndex(1);  // unchanged
    EXPECT_THAT(form.log, ElementsAre("Form_Load", "txtNome_Change", "chkSlave_Click", "lstTipo_Click"));
}

TEST(Form, AnUnloadAskedInsideAHandlerFinishesOnlyAfterTheHandlerReturns)
{
    ScriptedHost host;
    EveryControlForm form(host);
    RecordingObserver observer;
    form.SetObserver(&observer);
    form.LoadWindow();
    form.react = [&](const std::string& handler) {
        if (handler != "mnuApri_Click") return;
        // A long workflow: the technician closes the window while it pumps events.
        EXPECT_TRUE(form.RequestClose());
        EXPECT_EQ(form.log.back(), "Form_Unload") << "the closing flag is set at once";
        EXPECT_FALSE(form.Loaded());
        EXPECT_TRUE(observer.events.empty()) << "nothing is torn down under the running workflow";
        EXPECT_FALSE(form.cmdOK.UserClick()) << "a closing window takes no more clicks";
        form.txtNome.SetText("still running");
        EXPECT_TRUE(form.RequestClose()) << "a second close while closing changes nothing";
    };
    EXPECT_TRUE(form.mnuApri.UserClick());
    EXPECT_THAT(observer.events, ElementsAre("changed txtNome", "closed"));
    EXPECT_EQ(std::count(form.log.begin(), form.log.end(), "Form_Unload"), 1);
    form.SetObserver(nullptr);
}

TEST(Form, ShowModalReportsTheResultSetBeforeTheWindowWasClosed)
{
    ScriptedHost host;
    EveryControlForm form(host);
    form.react = [&](const std::string& handler) {
        if (handler == "cmdOK_Click") form.SetOutcome(true);
        if (handler == "cmdOK_Click" || handler == "cmdCancel_Click") form.Unload();
    };
    host.OnForm("FEvery", [](Form& f) { f.Get<CommandButton>("cmdOK").UserClick(); });
    EXPECT_TRUE(form.ShowModal());
    host.OnForm("FEvery", [](Form& f) { f.Get<CommandButton>("cmdCancel").UserClick(); });
    EXPECT_FALSE(form.ShowModal()) << "each showing starts without a result";
    EXPECT_EQ(std::count(form.log.begin(), form.log.end(), "Form_Load"), 2);
    // A window that unloads while loading is never shown.
    form.onLoad = [&] { form.Unload(); };
    EXPECT_FALSE(form.ShowModal());
    EXPECT_EQ(host.FormsShown().size(), 2u);
}

} // namespace
} // namespace zem::ui
