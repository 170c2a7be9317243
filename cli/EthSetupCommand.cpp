// zemcli eth-setup MAC --ip A.B.C.D: reads the module's address, assigns the new one and writes
// the module's settings.

#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "discovery/EthernetSetup.h"
#include "discovery/FSetupEth.h"

#include <iostream>

namespace zem::cli {

int EthSetupCommand(CliSession& session, const std::vector<std::string>& arguments)
{
    if (arguments.size() != 3 || arguments[1] != "--ip") {
        std::cerr << "usage: zemcli eth-setup MAC --ip A.B.C.D\n";
        return kExitUsage;
    }
    const std::string ip = arguments[2];
    bool typed = false;
    session.Host().OnForm("FSetupEth", [&](ui::Form& form) {
        auto& window = static_cast<FSetupEth&>(form);
        if (!window.cmdOK.Enabled()) return;
        // OK offered a second time means the first did not go through: give up.
        if (typed) {
            window.cmdAnnulla.UserClick();
            return;
        }
        std::cout << "address read: " << window.txtIP.Text() << std::endl;
        typed = true;
        window.txtIP.UserType(ip);
        window.cmdOK.UserClick();
    });
    const bool ran = EthernetSetup(session.Host(), session.Platform(), session.Gate()).Run(arguments[0]);
    return session.ExitCode(ran && typed);
}

} // namespace zem::cli
