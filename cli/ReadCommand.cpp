// zemcli read --to KEY FILE.zemp [--force]: reads an instrument's configuration into a profile file.

#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "main/FMainZEMSETUP.h"
#include "main/ImportaProfilo.h"
#include "profile/DataPaths.h"
#include "profile/ProfiloZem.h"

#include <filesystem>
#include <iostream>

namespace zem::cli {

int ReadCommand(CliSession& session, const std::vector<std::string>& arguments)
{
    std::optional<std::string> chiave, file;
    bool force = false, errato = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--force") force = true;
        else if (arguments[i] == "--to" && i + 1 < arguments.size() && !chiave) chiave = arguments[++i];
        else if (arguments[i].starts_with("--") || file) errato = true;
        else file = arguments[i];
    }
    if (errato || !chiave || !file) {
        std::cerr << "usage: zemcli read --to KEY FILE.zemp [--force]\n";
        return kExitUsage;
    }
    if (!force && std::filesystem::exists(*file)) {
        std::cerr << "zemcli: " << *file << " exists; --force overwrites it\n";
        return kExitRefused;
    }
    const auto modello = ImportaProfilo::Modello(session.Host(),
                                                 (DataPaths::DataFolder() / FMainZEMSETUP::kTemplateName).string());
    if (!modello) return kExitFailed;
    auto esito = ImportaProfilo(session.Host(), session.Platform()).Run(*modello, *chiave);
    if (!esito.profilo) return kExitFailed;  // the message told why; nothing was written
    // --force replaces the file: nothing of what it held before may survive into the new profile.
    if (!esito.profilo->SalvaFile(*file, ProfiloZem::Salvataggio::Sostituisci)) {
        session.Host().MsgBox("Save file error.\r\n" + *file + "\r\n" + esito.profilo->LastError(), ui::MsgButtons::OK,
                              ui::MsgIcon::Exclamation);
        return kExitFailed;
    }
    ImportaProfilo::MostraNonLetti(session.Host(), esito);
    return kExitDone;
}

} // namespace zem::cli
