#pragma once

#include "ui/Form.h"
#include "ui/Label.h"
#include "ui/Menu.h"

namespace zem {
class PasswordGate;
}

namespace zem::gui {

// The main window until the full one (menus, profile lifecycle) is in: the caption, the version
// label and the password and exit items, under the same control names as the full window.
class MainStandIn final : public ui::Form {
public:
    MainStandIn(ui::Host& host, PasswordGate& gate, int versionMajor, int versionMinor);

    ui::Label lblVersione;
    ui::Menu mnuFile;
    ui::Menu mnuSetPassword;
    ui::Menu sep5;
    ui::Menu mnuUscita;

protected:
    void Form_Load() override;

private:
    PasswordGate& gate_;
    int versionMajor_;
    int versionMinor_;
};

} // namespace zem::gui
