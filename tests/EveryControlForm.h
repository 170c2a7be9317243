#pragma once

#include "ui/CheckBox.h"
#include "ui/ComboBox.h"
#include "ui/CommandButton.h"
#include "ui/Form.h"
#include "ui/Frame.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/ListBox.h"
#include "ui/ListView.h"
#include "ui/Menu.h"
#include "ui/OptionButton.h"
#include "ui/ProgressBar.h"
#include "ui/TabStrip.h"
#include "ui/TextBox.h"
#include "ui/Timer.h"

#include <functional>
#include <string>
#include <vector>

namespace zem::test {

// One control of every kind, for the form layer's tests and the renderer's: each handler and the
// load and unload log their names, and `react` lets a test answer a handler.
class EveryControlForm final : public ui::Form {
public:
    explicit EveryControlForm(ui::Host& host, std::string name = "FEvery")
        : Form(host, std::move(name), "Every control"),
          mnuFile(*this, "mnuFile", "&File"),
          mnuApri(*this, "mnuApri", "&Open profile...", &mnuFile),
          sep1(*this, "sep1", "-", &mnuFile),
          mnuUscita(*this, "mnuUscita", "E&xit", &mnuFile),
          lblNome(*this, "lblNome"),
          txtNome(*this, "txtNome"),
          fraSettings(*this, "fraSettings"),
          chkSlave(*this, "chkSlave", &fraSettings),
          opA(*this, "opA", &fraSettings),
          opB(*this, "opB", &fraSettings),
          opOutside(*this, "opOutside"),
          lstTipo(*this, "lstTipo", &fraSettings),
          lstUM(*this, "lstUM"),
          ListView1(*this, "ListView1"),
          TabStrip1(*this, "TabStrip1"),
          ProgressBar1(*this, "ProgressBar1"),
          imgHourglass(*this, "imgHourglass"),
          cmdOK(*this, "cmdOK"),
          cmdCancel(*this, "cmdCancel"),
          Timer1(*this, "Timer1"),
          Timer2(*this, "Timer2")
    {
        SetSize(9000, 7000);
        lblNome.SetCaption("&Name of ZEM AUTOMATION:");
        lblNome.Move(120, 120, 2400, 255);
        txtNome.Move(2640, 90, 3000, 315);
        fraSettings.SetCaption("Settings");
        fraSettings.Move(120, 600, 4200, 2000);
        chkSlave.SetCaption("Use window for machine &messages");
        chkSlave.Move(120, 300, 3600, 255);
        opA.SetCaption("Phases");
        opA.Move(120, 700, 1800, 255);
        opB.SetCaption("Jobs");
        opB.Move(2040, 700, 1800, 255);
        opOutside.Move(4500, 1900, 1800, 255);
        lstTipo.Move(120, 1200, 3000, 315);
        for (const char* t : {"Not in use", "Press force-position", "Peak to peak measure"}) lstTipo.AddItem(t);
        lstUM.Move(4500, 600, 1500, 1200);
        for (const char* u : {"daN", "KN", "mm"}) lstUM.AddItem(u);
        ListView1.Move(120, 2800, 8000, 1800);
        ListView1.AddColumn("Name", "NAME", 3800);
        ListView1.AddColumn("SN", "SN", 1900);
        TabStrip1.Move(120, 4700, 6000, 400);
        TabStrip1.AddTab("Info", "ZEM AUTOMATION informations");
        TabStrip1.AddTab("In/Out", "Control of inputs and outputs");
        ProgressBar1.Move(120, 5300, 6000, 300);
        imgHourglass.SetPicture(ui::Picture::Hourglass);
        imgHourglass.Move(6300, 5200, 480, 480);
        cmdOK.SetCaption("OK");
        cmdOK.SetDefault(true);
        cmdOK.Move(5400, 6300, 1200, 375);
        cmdCancel.SetCaption("Cancel");
        cmdCancel.SetCancel(true);
        cmdCancel.Move(6720, 6300, 1200, 375);

        Wire(mnuApri.Click, "mnuApri_Click");
        Wire(mnuUscita.Click, "mnuUscita_Click");
        Wire(txtNome.Change, "txtNome_Change");
        Wire(chkSlave.Click, "chkSlave_Click");
        Wire(opA.Click, "opA_Click");
        Wire(opB.Click, "opB_Click");
        Wire(opOutside.Click, "opOutside_Click");
        Wire(lstTipo.Click, "lstTipo_Click");
        Wire(lstUM.Click, "lstUM_Click");
        ListView1.ItemClick.Connect([this](int item) { Handle("ListView1_ItemClick " + std::to_string(item)); });
        Wire(ListView1.DblClick, "ListView1_DblClick");
        Wire(TabStrip1.Click, "TabStrip1_Click");
        Wire(cmdOK.Click, "cmdOK_Click");
        Wire(cmdCancel.Click, "cmdCancel_Click");
        Wire(Timer1.Elapsed, "Timer1_Timer");
        Wire(Timer2.Elapsed, "Timer2_Timer");
    }

    ui::Menu mnuFile;
    ui::Menu mnuApri;
    ui::Menu sep1;
    ui::Menu mnuUscita;
    ui::Label lblNome;
    ui::TextBox txtNome;
    ui::Frame fraSettings;
    ui::CheckBox chkSlave;
    ui::OptionButton opA;
    ui::OptionButton opB;
    ui::OptionButton opOutside;
    ui::ComboBox lstTipo;
    ui::ListBox lstUM;
    ui::ListView ListView1;
    ui::TabStrip TabStrip1;
    ui::ProgressBar ProgressBar1;
    ui::Image imgHourglass;
    ui::CommandButton cmdOK;
    ui::CommandButton cmdCancel;
    ui::Timer Timer1;
    ui::Timer Timer2;

    std::vector<std::string> log;
    std::function<void(const std::string&)> react;
    std::function<void()> onLoad;
    std::function<bool()> allowClose;

    void SetOutcome(bool result) { SetResult(result); }

protected:
    void Form_Load() override
    {
        log.push_back("Form_Load");
        if (onLoad) onLoad();
    }
    bool Form_QueryUnload(ui::UnloadMode) override { return allowClose ? allowClose() : true; }
    void Form_Unload() override { log.push_back("Form_Unload"); }

private:
    template <class... A>
    void Wire(ui::Event<A...>& event, std::string handler)
    {
        event.Connect([this, handler](A...) { Handle(handler); });
    }
    void Handle(const std::string& handler)
    {
        log.push_back(handler);
        if (react) react(handler);
    }
};

} // namespace zem::test
