#include "access/PasswordGate.h"

#include "access/FPassword.h"
#include "access/FSetPassword.h"

namespace zem {

PasswordGate::PasswordGate(ui::Host& host, SettingsStore& settings) : host_(host), settings_(settings) {}

bool PasswordGate::PasswordOK()
{
    if (accepted_) return true;
    FPassword window(host_, settings_);
    accepted_ = window.Verifica("Password");
    return accepted_;
}

bool PasswordGate::ChangePassword()
{
    FSetPassword window(host_, settings_);
    return window.Load();
}

} // namespace zem
