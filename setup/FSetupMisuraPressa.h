#pragma once

#include "setup/MeasureDialog.h"
#include "ui/CheckBox.h"
#include "ui/ComboBox.h"
#include "ui/CommandButton.h"
#include "ui/Label.h"
#include "ui/TextBox.h"

namespace zem {

// The setup of a press force-position measure (measures 1 and 2): options, the position and force
// transducers, the preset position and the absolute maximum force.
class FSetupMisuraPressa final : public MeasureDialog {
public:
    explicit FSetupMisuraPressa(ui::Host& host);

    ui::CheckBox chkSlave;
    ui::CheckBox chkStopExt;
    ui::CheckBox enQuotaInizioOnStart;
    ui::CheckBox enWaitQuotaZero;
    ui::CheckBox enAutoOffset;
    ui::Label lblTrasdX;
    ui::ComboBox lstTrasdX;
    ui::Label lblTrasdY;
    ui::ComboBox lstTrasdY;
    ui::Label lblPresetPosition;
    ui::TextBox txtPresetPosition;
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
