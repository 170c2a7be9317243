#include "gui/MainStandIn.h"

#include "access/PasswordGate.h"
#include "ui/Host.h"

#include <string>

namespace zem::gui {

MainStandIn::MainStandIn(ui::Host& host, PasswordGate& gate, int versionMajor, int versionMinor)
    : Form(host, "MainStandIn", host.ApplicationTitle()),
      lblVersione(*this, "lblVersione"),
      mnuFile(*this, "mnuFile", "&File"),
      mnuSetPassword(*this, "mnuSetPassword", "&Change password...", &mnuFile),
      sep5(*this, "sep5", "-", &mnuFile),
      mnuUscita(*this, "mnuUscita", "E&xit", &mnuFile),
      gate_(gate),
      versionMajor_(versionMajor),
      versionMinor_(versionMinor)
{
    SetSize(9000, 5400);
    lblVersione.Move(240, 4800, 8520, 315);
    mnuSetPassword.Click.Connect([this] { gate_.ChangePassword(); });
    mnuUscita.Click.Connect([this] { Unload(); });
}

void MainStandIn::Form_Load()
{
    std::string minor = std::to_string(versionMinor_);
    if (minor.size() < 2) minor.insert(0, 2 - minor.size(), '0');
    lblVersione.SetCaption("ZEM AUTOMATION Setup version " + std::to_string(versionMajor_) + "." + minor);
}

} // namespace zem::gui
