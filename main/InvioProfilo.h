#pragma once

#include "link/LinkPlatform.h"

#include <string>

namespace zem {

namespace ui {
class Host;
}
class PasswordGate;
class ProfiloZem;
class TransferProgress;

// How a send ended, for the command line's exit code.
enum class SendOutcome {
    Succeeded,  // "Sending profile successfully." was shown
    Failed,     // a failure was reported
    Refused,    // the technician answered No or Cancel, or the password was refused
};

// Sending a profile into an instrument's configuration memory: the main window's "Send profile to
// instrument" after the selection, and `zemcli send`. Its questions are message boxes; the
// terminal host answers them from flags.
class InvioProfilo {
public:
    InvioProfilo(ui::Host& host, const LinkPlatform& platform, PasswordGate& gate, TransferProgress& progress);

    // Checks the instrument named by `chiave` and the profile, asks, puts the instrument into
    // update mode, writes the profile's image and takes it out of update mode again.
    SendOutcome Invia(const ProfiloZem& profilo, const std::string& chiave);

private:
    ui::Host& host_;
    LinkPlatform platform_;
    PasswordGate& gate_;
    TransferProgress& progress_;
};

} // namespace zem
