#include "access/FPassword.h"

#include "access/PasswordSetting.h"
#include "ui/Host.h"

namespace zem {

FPassword::FPassword(ui::Host& host, SettingsStore& settings)
    : Form(host, "FPassword", "Password"),
      lblPassword(*this, "lblPassword"),
      txtPassword(*this, "txtPassword"),
      cmdOK(*this, "cmdOK"),
      cmdCancel(*this, "cmdCancel"),
      settings_(settings)
{
    SetSize(4200, 1500);
    lblPassword.SetCaption("&Password:");
    lblPassword.Move(120, 180, 1200, 255);
    txtPassword.SetPasswordChar('*');
    txtPassword.Move(1380, 135, 2640, 315);
    cmdOK.SetCaption("OK");
    cmdOK.SetDefault(true);
    cmdOK.Move(1380, 780, 1260, 375);
    cmdCancel.SetCaption("Cancel");
    cmdCancel.SetCancel(true);
    cmdCancel.Move(2760, 780, 1260, 375);

    cmdOK.Click.Connect([this] { cmdOK_Click(); });
    cmdCancel.Click.Connect([this] { cmdCancel_Click(); });
}

bool FPassword::Verifica(const std::string& prompt)
{
    std::string error;
    const auto read = password::Stored(settings_, GetHost().ApplicationTitle(), error);
    if (!read) {
        GetHost().MsgBox(error, ui::MsgButtons::OK, ui::MsgIcon::Critical);
        return false;
    }
    const std::string& stored = *read;
    if (stored.empty()) return true;
    prompt_ = prompt;
    typed_.clear();
    if (!ShowModal()) return false;
    if (typed_ == stored) return true;
    GetHost().MsgBox("The password is wrong.", ui::MsgButtons::OK, ui::MsgIcon::Information);
    return false;
}

void FPassword::Form_Load()
{
    CentreOnScreen();
    SetCaption(prompt_);
    txtPassword.SetText("");
}

void FPassword::cmdOK_Click()
{
    typed_ = password::Normalise(txtPassword.Text());
    SetResult(true);
    Unload();
}

void FPassword::cmdCancel_Click() { Unload(); }

} // namespace zem
