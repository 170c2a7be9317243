#pragma once

#include "setup/MeasureDialog.h"
#include "ui/CheckBox.h"
#include "ui/ComboBox.h"
#include "ui/CommandButton.h"
#include "ui/Label.h"
#include "ui/TextBox.h"

namespace zem {

// The setup of a test-cylinders measure: slave mode and the position transducer; the force
// transducer is the load-cell input of the measure's channel.
class FSetupMisuraTestCyl final : public MeasureDialog {
public:
    explicit FSetupMisuraTestCyl(ui::Host& host);

    ui::CheckBox chkSlave;
    ui::CheckBox enQuotaInizioOnStart;
    ui::Label lblTrasdX;
    ui::ComboBox lstTrasdX;
    ui::Label lblForzaMassima;
    ui::TextBox txtForzaMassima;
    ui::Label lblSpeedAcq;
    ui::TextBox txtSpeedAcq;
    ui::CommandButton cmdSetupInOut;
    ui::CommandButton cmdSetupOperazioni;
    ui::CommandButton cmdOK;
    ui::CommandButton cmdCancel;

private:
    void Carica() override;
    bool Salva() override;
    void cmdSetupInOut_Click();
};

} // namespace zem
