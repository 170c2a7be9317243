#pragma once

#include "link/LinkPlatform.h"

#include <optional>
#include <string>

namespace zem {

class SettingsStore;

namespace ui {
class Host;
}

// Giving a USB bridge its identity, as the main window's menu and `zemcli usb-init` do it: the
// bridge chosen in the selection window (USB only) unless its key is given, a confirmation for a
// blank EEPROM with no other bridge connected, the register window for the name and serial
// number, the register line, and the EEPROM programming once the line is on record.
class InizializzazioneUSB {
public:
    // The program code this program programs bridges for.
    static constexpr int kCodice = 4;

    // `vecchiaCartella`: where earlier versions kept the serial-number register.
    InizializzazioneUSB(ui::Host& host, LinkPlatform platform, SettingsStore& settings, std::string vecchiaCartella);

    // True once the EEPROM was programmed.
    bool Run(std::optional<std::string> chiave = std::nullopt);

private:
    ui::Host& host_;
    LinkPlatform platform_;
    SettingsStore& settings_;
    std::string vecchiaCartella_;
};

} // namespace zem
