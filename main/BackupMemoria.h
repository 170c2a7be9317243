#pragma once

#include "link/LinkPlatform.h"

#include <optional>
#include <string>

namespace zem {

namespace ui {
class Host;
}
class TransferProgress;

// "Backup memory...": the first 8961 bytes of one instrument's configuration memory into a
// ".zemmem" text file, one " value " line each. The main window's menu and `zemcli backup` run it.
class BackupMemoria {
public:
    enum class Esito {
        Completato,  // "Exporting completed."
        Fallito,     // a failure was reported
        Annullato,   // no instrument or no file chosen, or stopped while reading
    };
    static constexpr int kIndirizzi = 8961;
    static constexpr const char* kFermato = "Memory backup stopped: no file was written.";

    BackupMemoria(ui::Host& host, const LinkPlatform& platform, TransferProgress& progress);

    // Into `file` (replaced only once the technician agreed), or the file chosen in the save dialog
    // (opened in `cartella`) when none is given.
    Esito Esporta(const std::string& chiave, std::optional<std::string> file, const std::string& cartella);

private:
    std::optional<std::string> ScegliFile(const std::string& nomeStrumento, const std::string& cartella);
    bool SostituzioneAccettata(const std::string& file);

    ui::Host& host_;
    LinkPlatform platform_;
    TransferProgress& progress_;
};

} // namespace zem
