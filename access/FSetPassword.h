#pragma once

#include "ui/CommandButton.h"
#include "ui/Form.h"
#include "ui/Label.h"
#include "ui/TextBox.h"

#include <string>

namespace zem {

class SettingsStore;

// Changes the access password: the old one, the new one and its confirmation.
class FSetPassword final : public ui::Form {
public:
    FSetPassword(ui::Host& host, SettingsStore& settings);

    // Shows the window; true when it was closed with a valid change and the new password has
    // been stored.
    bool Load();

    ui::Label lblPasswordVecchia;
    ui::TextBox txtPasswordVecchia;
    ui::Label lblPasswordNuova;
    ui::TextBox txtPasswordNuova;
    ui::Label lblPasswordConferma;
    ui::TextBox txtPasswordConferma;
    ui::CommandButton cmdOK;
    ui::CommandButton cmdCancel;

protected:
    void Form_Load() override;

private:
    void cmdOK_Click();
    void cmdCancel_Click();
    void Refuse(const char* message);

    SettingsStore& settings_;
    std::string current_;
};

} // namespace zem
