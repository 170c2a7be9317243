#pragma once

#include "link/LinkPlatform.h"

#include <optional>
#include <string>

namespace zem {

namespace ui {
class Host;
}

// "Read profile from instrument...": connects to one USB instrument, tells whether its
// configuration memory holds a configuration, and disconnects. Nothing is copied into the open
// profile. The main window's menu and `zemcli check` run it.
class LetturaProfilo {
public:
    enum class Esito {
        Nessuno,              // nothing chosen, or not a USB instrument: nothing was opened
        Configurata,          // the instrument holds a configuration: no message
        MemoriaVuota,         // "The instrument memory is empty."
        NonSupportato,        // "Instrument type non supported."
        ErroreComunicazione,  // "Communication error"
    };

    LetturaProfilo(ui::Host& host, const LinkPlatform& platform);

    // The instrument chosen in the selection window, unless `chiave` names it. The link is closed
    // again whatever the outcome.
    Esito Run(std::optional<std::string> chiave = std::nullopt);

private:
    ui::Host& host_;
    LinkPlatform platform_;
};

} // namespace zem
