#pragma once

#include "ui/CommandButton.h"
#include "ui/ComboBox.h"
#include "ui/ControlArray.h"
#include "ui/Form.h"
#include "ui/Label.h"

namespace zem {

class ProfiloZem;

// The inputs and the output that drive the messages window: clock and data inputs, clear output.
class FSetupMsgWindow final : public ui::Form {
public:
    explicit FSetupMsgWindow(ui::Host& host);

    // Edits `profilo` in place; true when closed with OK.
    bool ShowForm(ProfiloZem& profilo);

    ui::ControlArray<ui::Label> lblInput;
    ui::ControlArray<ui::ComboBox> lstInput;
    ui::ControlArray<ui::Label> lblOutput;
    ui::ControlArray<ui::ComboBox> lstOutput;
    ui::CommandButton cmdOK;
    ui::CommandButton cmdCancel;

protected:
    void Form_Load() override;

private:
    void cmdOK_Click();
    void cmdCancel_Click();

    ProfiloZem* profilo_ = nullptr;
    bool cambiato_ = false;
};

} // namespace zem
