// zemcli sn-list: prints the serial-number register as text.

#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "main/RegistroSN.h"
#include "profile/DataPaths.h"

#include <iostream>

namespace zem::cli {

int SnListCommand(CliSession& session, const std::vector<std::string>& arguments)
{
    if (!arguments.empty()) {
        std::cerr << "usage: zemcli sn-list\n";
        return kExitUsage;
    }
    std::string spostato;
    const std::string percorso = RegistroSN::Percorso(session.Settings(), DataPaths::ProgramFolder().string(), spostato);
    if (!spostato.empty()) session.Host().MsgBox(spostato, ui::MsgButtons::OK, ui::MsgIcon::Information);
    const auto testo = RegistroSN::Carica(percorso);
    if (!testo) {
        session.Host().MsgBox("The serial number register cannot be read: " + percorso, ui::MsgButtons::OK,
                              ui::MsgIcon::Critical);
        return kExitFailed;
    }
    for (const char c : *testo)
        if (c != '\r') std::cout << c;
    std::cout << std::flush;
    return kExitDone;
}

} // namespace zem::cli
