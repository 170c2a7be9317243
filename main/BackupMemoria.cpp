#include "main/BackupMemoria.h"

#include "session/CollegamentoStrumento.h"
#include "main/TransferProgress.h"
#include "ui/Host.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace zem {

namespace {

using ui::MsgButtons;
using ui::MsgIcon;

void ErroreFile(ui::Host& host, const std::string& path)
{
    host.MsgBox("File writing error.\r\n" + path, MsgButtons::OK, MsgIcon::Critical);
}

void Rimuovi(const std::string& path)
{
    std::error_code ignorato;
    std::filesystem::remove(path, ignorato);
}

bool Rinomina(const std::string& da, const std::string& a)
{
    std::error_code errore;
    std::filesystem::rename(da, a, errore);
    return !errore;
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
    const ui::FileDialogResult scelto = host_.ShowFileDialog(request);
    if (scelto.outcome == ui::FileDialogOutcome::Failed)
        host_.MsgBox(scelto.error, MsgButtons::OK, MsgIcon::Exclamation);
    if (scelto.outcome != ui::FileDialogOutcome::Chosen || scelto.path.empty()) return std::nullopt;
    return scelto.path;
}

BackupMemoria::Esito BackupMemoria::Esporta(const std::string& chiave, std::optional<std::string> file,
                                            const std::string& cartella)
{
    if (chiave.size() < 5) return Esito::Annullato;
    CollegamentoStrumento c(platform_);
    progress_.SetBusy(true);
    const bool aperto = c.Apri(chiave);
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
    if (!file) file = ScegliFile(c.Link().Nome(), cartella);
    if (!file) {
        c.Chiudi();
        return Esito::Annullato;
    }

    // Written beside the target and renamed over it only when complete: a good backup is never
    // replaced by a broken one.
    const std::string temporaneo = *file + ".tmp";
    std::ofstream out(temporaneo, std::ios::binary | std::ios::trunc);
    if (!out) {
        ErroreFile(host_, *file);
        c.Chiudi();
        return Esito::Fallito;
    }
    progress_.ShowProgress("Reading memory", kIndirizzi - 1);
    bool letto = true;
    for (int a = 0; a < kIndirizzi && out; ++a) {
        if (a > 0) progress_.Advance();
        const auto valore = c.Link().ReadConfig1Byte(static_cast<std::uint32_t>(a));
        if (!valore) {
            letto = false;
            break;
        }
        out << ' ' << static_cast<int>(*valore) << " \r\n";
    }
    out.flush();
    const bool scritto = static_cast<bool>(out);
    out.close();
    progress_.HideProgress();

    Esito esito = Esito::Fallito;
    if (!scritto || out.fail()) {
        Rimuovi(temporaneo);
        ErroreFile(host_, *file);
    } else if (!letto) {
        // What was read is kept, under a name that no one takes for a complete backup.
        if (!Rinomina(temporaneo, *file + ".partial")) ErroreFile(host_, *file + ".partial");
        host_.MsgBox("Communication error.", MsgButtons::OK, MsgIcon::Critical);
    } else if (!Rinomina(temporaneo, *file)) {
        Rimuovi(temporaneo);
        ErroreFile(host_, *file);
    } else {
        host_.MsgBox("Exporting completed.", MsgButtons::OK, MsgIcon::Information);  // a success, not an error
        esito = Esito::Completato;
    }
    c.Chiudi();
    return esito;
}

} // namespace zem
