// zemcli usb-init [--to KEY] [--name NAME] [--serial N]: programs a bridge's EEPROM with the name
// and serial number and adds the register line; without --serial the register window's proposal,
// the code's last number plus one.

#include "cli/CliSession.h"
#include "cli/CommandArguments.h"
#include "cli/Commands.h"
#include "main/FListaSN.h"
#include "main/InizializzazioneUSB.h"
#include "profile/DataPaths.h"

#include <iostream>

namespace zem::cli {

int UsbInitCommand(CliSession& session, const std::vector<std::string>& arguments)
{
    const auto args = CommandArguments::Parse(arguments, {"--to", "--name", "--serial"});
    if (!args || !args->plain.empty()) {
        std::cerr << "usage: zemcli usb-init [--to KEY] [--name NAME] [--serial N]\n";
        return kExitUsage;
    }
    bool richiesto = false;
    session.Host().OnForm("FListaSN", [&](ui::Form& form) {
        auto& finestra = static_cast<FListaSN&>(form);
        // Offered again: the request was refused with a message; leave without programming.
        if (richiesto) {
            finestra.cmdOK.UserClick();
            return;
        }
        richiesto = true;
        if (const auto nome = args->Value("--name")) finestra.txtName.UserType(*nome);
        if (const auto numero = args->Value("--serial")) finestra.txtSN.UserType(*numero);
        std::cout << "serial number: " << FListaSN::Seriale(InizializzazioneUSB::kCodice, finestra.txtSN.Text())
                  << std::endl;
        finestra.cmdProg.UserClick();
    });
    const bool fatto = InizializzazioneUSB(session.Host(), session.Platform(), session.Settings(),
                                           DataPaths::ProgramFolder().string())
                           .Run(args->Value("--to"));
    // Success ends on the advice to replug, shown as a warning: the programming itself is done.
    return fatto ? kExitDone : session.ExitCode(false);
}

} // namespace zem::cli
