#pragma once

#include "ui/CheckBox.h"
#include "ui/ComboBox.h"
#include "ui/CommandButton.h"
#include "ui/Form.h"
#include "ui/Frame.h"
#include "ui/Menu.h"
#include "ui/OptionButton.h"
#include "ui/TextBox.h"
#include "ui/Timer.h"

#include <functional>
#include <string>
#include <vector>

namespace zem::ui::test {

// A small window with one control of each kind that raises events; every handler writes its
// name into `log`, and a test can hang behaviour on a handler through `on`.
class SampleForm final : public Form {
public:
    explicit SampleForm(Host& host, std::string name = "FSample")
        : Form(host, std::move(name), "Sample"),
          fraOptions(*this, "fraOptions"),
          optA(*this, "optA", &fraOptions),
          optB(*this, "optB", &fraOptions),
          optOutside(*this, "optOutside"),
          txtName(*this, "txtName"),
          chkSlave(*this, "chkSlave", &fraOptions),
          lstTipo(*this, "lstTipo"),
          cmdOK(*this, "cmdOK"),
          cmdCancel(*this, "cmdCancel", &fraOptions),
          Timer1(*this, "Timer1"),
          Timer2(*this, "Timer2"),
          mnuFile(*this, "mnuFile", "&File"),
          mnuApri(*this, "mnuApri", "&Open...", &mnuFile),
          sep1(*this, "sep1", "-", &mnuFile)
    {
        Wire(optA.Click, "optA_Click");
        Wire(optB.Click, "optB_Click");
        Wire(optOutside.Click, "optOutside_Click");
        Wire(txtName.Change, "txtName_Change");
        Wire(chkSlave.Click, "chkSlave_Click");
        Wire(lstTipo.Click, "lstTipo_Click");
        Wire(cmdOK.Click, "cmdOK_Click");
        Wire(cmdCancel.Click, "cmdCancel_Click");
        Wire(Timer1.Elapsed, "Timer1_Timer");
        Wire(Timer2.Elapsed, "Timer2_Timer");
        Wire(mnuApri.Click, "mnuApri_Click");
    }

    Frame fraOptions;
    OptionButton optA;
    OptionButton optB;
    OptionButton optOutside;
    TextBox txtName;
    CheckBox chkSlave;
    ComboBox lstTipo;
    CommandButton cmdOK;
    CommandButton cmdCancel;
    Timer Timer1;
    Timer Timer2;
    Menu mnuFile;
    Menu mnuApri;
    Menu sep1;

    std::vector<std::string> log;
    std::function<void(const std::string&)> on;  // called with each handler's name
    std::function<void()> onLoad;
    std::function<bool(UnloadMode)> onQueryUnload;

    void SetOutcome(bool result) { SetResult(result); }

protected:
    void Form_Load() override
    {
        log.push_back("Form_Load");
        if (onLoad) onLoad();
    }
    bool Form_QueryUnload(UnloadMode mode) override
    {
        log.push_back(mode == UnloadMode::Code ? "Form_QueryUnload code" : "Form_QueryUnload user");
        return onQueryUnload ? onQueryUnload(mode) : true;
    }
    void Form_Unload() override { log.push_back("Form_Unload"); }

private:
    template <class... A>
    void Wire(Event<A...>& event, std::string handler)
    {
        event.Connect([this, handler](A...) { Handle(handler); });
    }
    void Handle(const std::string& handler)
    {
        log.push_back(handler);
        if (on) on(handler);
    }
};

} // namespace zem::ui::test
