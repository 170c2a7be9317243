#pragma once

#include "link/LinkPlatform.h"

#include <optional>
#include <string>

namespace zem {

namespace ui {
class Host;
}
class PasswordGate;
class TransferProgress;

// "Restore memory...": a ".zemmem" backup written back into an instrument's configuration memory
// the way a profile is sent: checked first, confirmed, with the password, in update mode, the
// header cleared, the bytes written and read back, the header last, and the instrument reopened
// out of update mode. The main window's menu and `zemcli restore` run it.
class RipristinoMemoria {
public:
    enum class Esito {
        Completato,  // "Restoring memory successfully." was shown
        Fallito,     // a failure was reported
        Rifiutato,   // no file or instrument chosen, a No, or the password refused
    };

    RipristinoMemoria(ui::Host& host, const LinkPlatform& platform, PasswordGate& gate, TransferProgress& progress);

    // From `file`, or the file chosen in the open dialog (opened in `cartella`) when none is given.
    Esito Ripristina(const std::string& chiave, std::optional<std::string> file, const std::string& cartella);

private:
    std::optional<std::string> ScegliFile(const std::string& cartella);
    // The file's bytes; nothing, after its message, when it cannot be read or is no backup.
    std::optional<std::vector<std::uint8_t>> LeggiFile(const std::string& path);

    ui::Host& host_;
    LinkPlatform platform_;
    PasswordGate& gate_;
    TransferProgress& progress_;
};

} // namespace zem
