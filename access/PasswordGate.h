#pragma once

namespace zem {

namespace ui {
class Host;
}
class SettingsStore;

// The access password of one run: the main window owns one, and every workflow that changes an
// instrument or a stored profile asks it first. Once the password has been given it is not asked
// again until the program ends; changing the password does not take that back.
class PasswordGate {
public:
    PasswordGate(ui::Host& host, SettingsStore& settings);

    // True when access is granted, asking for the password until it has been given once.
    bool PasswordOK();
    bool Accepted() const { return accepted_; }
    // Opens the change-password window; true when a new password was stored.
    bool ChangePassword();

private:
    ui::Host& host_;
    SettingsStore& settings_;
    bool accepted_ = false;
};

} // namespace zem
