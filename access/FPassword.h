#pragma once

#include "ui/CommandButton.h"
#include "ui/Form.h"
#include "ui/Label.h"
#include "ui/TextBox.h"

#include <string>

namespace zem {

class SettingsStore;

// Asks for the access password.
class FPassword final : public ui::Form {
public:
    FPassword(ui::Host& host, SettingsStore& settings);

    // True when access is granted: at once when the stored password is empty, otherwise when the
    // technician types it and presses OK. `prompt` is the window caption.
    bool Verifica(const std::string& prompt);

    ui::Label lblPassword;
    ui::TextBox txtPassword;
    ui::CommandButton cmdOK;
    ui::CommandButton cmdCancel;

protected:
    void Form_Load() override;

private:
    void cmdOK_Click();
    void cmdCancel_Click();

    SettingsStore& settings_;
    std::string prompt_;
    std::string typed_;
};

} // namespace zem
