#include "access/FSetPassword.h"

#include "access/PasswordSetting.h"
#include "profile/SettingsStore.h"
#include "ui/Host.h"

namespace zem {

FSetPassword::FSetPassword(ui::Host& host, SettingsStore& settings)
    : Form(host, "FSetPassword", "Modify password"),
      lblPasswordVecchia(*this, "lblPasswordVecchia"),
      txtPasswordVecchia(*this, "txtPasswordVecchia"),
      lblPasswordNuova(*this, "lblPasswordNuova"),
      txtPasswordNuova(*this, "txtPasswordNuova"),
      lblPasswordConferma(*this, "lblPasswordConferma"),
      txtPasswordConferma(*this, "txtPasswordConferma"),
      cmdOK(*this, "cmdOK"),
      cmdCancel(*this, "cmdCancel"),
      settings_(settings)
{
    SetSize(4800, 2340);
    struct Row {
        ui::Label& label;
        ui::TextBox& text;
        const char* caption;
    };
    int top = 150;
    for (const Row& row : {Row{lblPasswordVecchia, txtPasswordVecchia, "&Old password:"},
                           Row{lblPasswordNuova, txtPasswordNuova, "&New password:"},
                           Row{lblPasswordConferma, txtPasswordConferma, "&Confirm password:"}}) {
        row.label.SetCaption(row.caption);
        row.label.Move(120, top + 45, 1800, 255);
        row.text.SetPasswordChar('*');
        row.text.Move(1980, top, 2640, 315);
        top += 450;
    }
    cmdOK.SetCaption("OK");
    cmdOK.SetDefault(true);
    cmdOK.Move(1980, 1620, 1260, 375);
    cmdCancel.SetCaption("Cancel");
    cmdCancel.SetCancel(true);
    cmdCancel.Move(3360, 1620, 1260, 375);

    cmdOK.Click.Connect([this] { cmdOK_Click(); });
    cmdCancel.Click.Connect([this] { cmdCancel_Click(); });
}

bool FSetPassword::Load()
{
    const std::string& application = GetHost().ApplicationTitle();
    std::string error;
    const auto stored = password::Stored(settings_, application, error);
    if (!stored) {
        GetHost().MsgBox(error, ui::MsgButtons::OK, ui::MsgIcon::Critical);
        return false;
    }
    current_ = *stored;
    if (!ShowModal()) return false;
    // A change that did not reach the settings must not look like one that did.
    if (!settings_.SaveSetting(application, password::kSection, password::kKey, current_)) {
        GetHost().MsgBox("The new password could not be saved.", ui::MsgButtons::OK,
                         ui::MsgIcon::Critical);
        return false;
    }
    return true;
}

void FSetPassword::Form_Load() { CentreOnScreen(); }

void FSetPassword::cmdOK_Click()
{
    const std::string oldPassword = password::Normalise(txtPasswordVecchia.Text());
    const std::string newPassword = password::Normalise(txtPasswordNuova.Text());
    const std::string confirm = password::Normalise(txtPasswordConferma.Text());
    if (newPassword.empty()) return Refuse("The new password is wrong");
    if (oldPassword != current_) return Refuse("The old password is wrong");
    if (confirm != newPassword) return Refuse("The confirm of new password is wrong");
    current_ = newPassword;
    SetResult(true);
    Unload();
}

void FSetPassword::cmdCancel_Click() { Unload(); }

void FSetPassword::Refuse(const char* message)
{
    GetHost().MsgBox(message, ui::MsgButtons::OK, ui::MsgIcon::Information);
}

} // namespace zem
