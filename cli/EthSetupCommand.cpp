// zemcli eth-setup MODULE --ip A.B.C.D: reads the module's address, assigns the new one and writes
// the module's settings.

#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "discovery/EthernetSetup.h"
#include "discovery/FSetupEth.h"
#include "session/ChiaveStrumento.h"

#include <CLI/CLI.hpp>

#include <iostream>

namespace zem::cli {

namespace {

// The module's MAC text, from its key as list prints it ("MAC: 00-50-C2-...") or given alone;
// nothing for the key of an instrument.
std::optional<std::string> ModuleMac(const std::string& text)
{
    const auto chiave = ChiaveStrumento::Leggi(text);
    if (!chiave) return text;
    if (chiave->canale != ChiaveStrumento::Canale::MAC) return std::nullopt;
    return chiave->mac;
}

struct EthSetupOptions {
    std::string mac;
    std::string ip;
};

int EthSetup(CliSession& session, const EthSetupOptions& o)
{
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
        window.txtIP.UserType(o.ip);
        window.cmdOK.UserClick();
    });
    const bool ran = EthernetSetup(session.Host(), session.Platform(), session.Gate()).Run(o.mac);
    return session.ExitCode(ran && typed);
}

} // namespace

void AddEthSetupCommand(CLI::App& app, CommandRun& run)
{
    auto o = std::make_shared<EthSetupOptions>();
    auto* command = app.add_subcommand("eth-setup", "give the Ethernet module with that MAC text a new address");
    command->add_option("MODULE", o->mac, "the module's key \"MAC: 00-50-C2-...\" as list prints it, or its MAC text alone")
        ->required()
        ->check([](const std::string& text) {
            return ModuleMac(text) ? std::string() : "not an Ethernet module's \"MAC: MAC-TEXT\": " + text;
        })
        ->transform([](std::string text) { return ModuleMac(text).value_or(text); });
    command->add_option("--ip", o->ip, "the module's new address")->type_name("A.B.C.D")->required();
    command->callback([&run, o] { run = [o](CliSession& session) { return EthSetup(session, *o); }; });
}

} // namespace zem::cli
