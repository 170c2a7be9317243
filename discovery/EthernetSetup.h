#pragma once

#include "link/LinkPlatform.h"

#include <optional>
#include <string>

namespace zem {

class PasswordGate;

namespace ui {
class Host;
}

// Giving an Ethernet module a new address, as the main window's menu and `zemcli eth-setup` do
// it: the module chosen in the selection window (network only) unless it is named, the access
// password, then the address setup window.
class EthernetSetup {
public:
    EthernetSetup(ui::Host& host, LinkPlatform platform, PasswordGate& gate);

    // False when no module was chosen or the password was refused; true once the setup window
    // has run (its messages tell how it went).
    bool Run(std::optional<std::string> mac = std::nullopt);

private:
    ui::Host& host_;
    LinkPlatform platform_;
    PasswordGate& gate_;
};

} // namespace zem
