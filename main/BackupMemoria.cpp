#include "main/BackupMemoria.h"

#include "session/CollegamentoStrumento.h"
#include "main/TransferProgress.h"
#include "profile/ScritturaAtomica.h"
#include "ui/Host.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace zem {

namespace {

using ui::MsgButtons;
using ui::MsgIcon;

void ErroreFile(ui::Host& host, const std::string& path, const std::string& causa)
{
    host.MsgBox("File writing error.\r\n" + path + "\r\n" + causa, MsgButtons::OK, MsgIcon::Critical);
}

} // namespace

BackupMemoria::BackupMemoria(ui::Host& host, const LinkPlatform& platform, TransferProgress& progress)
    : host_(host), platform_(platform), progress_(progress)
{
}

std::optional<std::string> BackupMemoria::ScegliFile(const std::string& nomeStrumento, const std::string& cartella)
{
    ui::FileDialogRequest request;
    request.kind = ui::FileDialogKind::Save;
    request.title = nomeStrumento + " - Memory backup";
    request.defaultExtension = "zemmem";
    request.initialFolder = cartella;
    request.filter = "ZEM memory backup|*.zemmem|All files (*.*)|*.*";
    request.overwritePrompt = true;
    return host_.ChooseFile(request);
}

// A file named by the caller, not chosen in the dialog (which asks itself), is only replaced
// after the same question.
bool BackupMemoria::SostituzioneAccettata(const std::string& file)
{
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::symlink_status(file, ec))) return true;
    return host_.Ask(ui::Question::ReplaceFile, file + " already exists.\r\nDo you want to replace it?",
                     MsgButtons::YesNo, MsgIcon::Exclamation, ui::MsgAnswer::No) == ui::MsgAnswer::Yes;
}

BackupMemoria::Esito BackupMemoria::Esporta(const std::string& chiave, std::optional<std::string> file,
                                            const std::string& cartella)
{
    if (chiave.size() < 5) return Esito::Annullato;
    CollegamentoStrumento c(platform_);
    progress_.SetBusy(true);
    const bool aperto = c.Apri(chiave, CollegamentoStrumento::Uso::Lettura);
    progress_.SetBusy(false);
    if (!aperto) {
        c.SegnalaErroreApertura(host_);
        c.Chiudi();
        return Esito::Fallito;
    }
    if (!c.VerificaStrumento(host_)) {
        c.Chiudi();
        return Esito::Fallito;
    }
    if (!file) {
        file = ScegliFile(c.Link().Nome(), cartella);
    } else if (!SostituzioneAccettata(*file)) {
        file.reset();
    }
    if (!file) {
        c.Chiudi();
        return Esito::Annullato;
    }

    // Read whole first, then written in one go: a good backup is never replaced by a broken one,
    // and two backups into one file each leave a complete file.
    std::string contenuto;
    contenuto.reserve(kIndirizzi * 6);
    progress_.ShowProgress("Reading memory", kIndirizzi - 1);
    // The longest read the mailbox takes; the forced single-byte path reads as the loader of old.
    const std::size_t passo = c.Link().SingoloByte() ? 1 : 255;
    std::vector<std::uint8_t> blocco;
    bool letto = true;
    for (int a = 0; a < kIndirizzi;) {
        // Reading changes nothing: a stop asked for (a closing window, a signal) ends it at once.
        host_.DoEvents();
        if (progress_.Closing()) {
            progress_.HideProgress();
            host_.MsgBox(kFermato, MsgButtons::OK, MsgIcon::Information);
            c.Chiudi();
            return Esito::Annullato;
        }
        blocco.resize(std::min<std::size_t>(passo, static_cast<std::size_t>(kIndirizzi - a)));
        if (!c.Link().ReadConfigBytes(static_cast<std::uint32_t>(a), blocco)) {
            letto = false;
            break;
        }
        for (const std::uint8_t valore : blocco) {
            if (a++ > 0) progress_.Advance();
            contenuto += ' ' + std::to_string(valore) + " \r\n";
        }
    }
    progress_.HideProgress();

    Esito esito = Esito::Fallito;
    // What was read is kept, under a name that no one takes for a complete backup.
    const std::string destinazione = letto ? *file : *file + ".partial";
    if (const auto errore = ScritturaAtomica::Scrivi(destinazione, contenuto)) {
        ErroreFile(host_, destinazione, *errore);
    } else if (!letto) {
        host_.MsgBox("Communication error.", MsgButtons::OK, MsgIcon::Critical);
    } else {
        host_.MsgBox("Exporting completed.", MsgButtons::OK, MsgIcon::Information);  // a success, not an error
        esito = Esito::Completato;
    }
    c.Chiudi();
    return esito;
}

} // namespace zem
