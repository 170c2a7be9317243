#pragma once

#include "ui/CheckBox.h"
#include "ui/CommandButton.h"
#include "ui/ControlArray.h"
#include "ui/Form.h"
#include "ui/Frame.h"
#include "ui/Label.h"
#include "ui/OptionButton.h"
#include "ui/TextBox.h"

namespace zem {

class ProfiloZem;

// Whether a measure runs several operations picked by its selection inputs, whether they are
// phases of one job or different jobs, and how many there are.
class FSetupOperazioni final : public ui::Form {
public:
    explicit FSetupOperazioni(ui::Host& host);

    // Edits measure `misura` (1..6; anything else throws std::out_of_range) of `profilo` in place;
    // true when closed with OK.
    bool ShowForm(int misura, ProfiloZem& profilo);

    ui::Frame Frame1;
    ui::ControlArray<ui::OptionButton> opAutoSel;
    ui::Label lblOperazioni;
    ui::TextBox txtOperazioni;
    ui::CheckBox chkSelOnStart;
    ui::CommandButton cmdOK;
    ui::CommandButton cmdCancel;

protected:
    void Form_Load() override;

private:
    void opAutoSel_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
    // The option chosen: 0 none, 1 phases, 2 jobs.
    int Opzione() const;
    bool Salva();

    ProfiloZem* profilo_ = nullptr;
    int misura_ = 1;
    bool cambiato_ = false;
};

} // namespace zem
