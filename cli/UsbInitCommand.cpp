// zemcli usb-init [--to KEY] [--name NAME] [--serial N]: programs a bridge's EEPROM with the name
// and serial number and adds the register line; without --serial the register window's proposal,
// the code's last number plus one.

#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "main/FListaSN.h"
#include "main/InizializzazioneUSB.h"
#include "profile/DataPaths.h"
#include "profile/InstrumentText.h"

#include <CLI/CLI.hpp>

#include <iostream>

namespace zem::cli {

namespace {

struct UsbInitOptions {
    std::optional<std::string> key;
    std::optional<std::string> name;  // as typed: UTF-8
    std::optional<std::string> serial;
};

int UsbInit(CliSession& session, const UsbInitOptions& o)
{
    std::optional<InstrumentText> nome;
    if (o.name) {
        std::string rifiutato;
        nome = InstrumentText::FromUtf8(*o.name, &rifiutato);
        if (!nome) {
            std::cerr << "zemcli usb-init: --name: " << InstrumentText::RefusalMessage(rifiutato) << "\n";
            return kExitUsage;
        }
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
        if (nome) finestra.txtName.UserType(nome->Bytes());
        if (o.serial) finestra.txtSN.UserType(*o.serial);
        std::cout << "serial number: " << FListaSN::Seriale(InizializzazioneUSB::kCodice, finestra.txtSN.Text())
                  << std::endl;
        finestra.cmdProg.UserClick();
    });
    const bool fatto = InizializzazioneUSB(session.Host(), session.Platform(), session.Settings(),
                                           DataPaths::ProgramFolder().string())
                           .Run(o.key);
    // Success ends on the advice to replug, shown as a warning: the programming itself is done.
    return fatto ? kExitDone : session.ExitCode(false);
}

} // namespace

void AddUsbInitCommand(CLI::App& app, CommandRun& run)
{
    auto o = std::make_shared<UsbInitOptions>();
    auto* command = app.add_subcommand("usb-init", "program a bridge's EEPROM with a name and serial number and add it to the register");
    command->add_option("--to", o->key, "the bridge: \"USB: SERIAL\" (else the one the selection offers)")->type_name("KEY");
    command->add_option("--name", o->name, "the instrument's description in the EEPROM")->type_name("NAME");
    command->add_option("--serial", o->serial, "the serial number (else the last one programmed plus one)")->type_name("N");
    command->callback([&run, o] { run = [o](CliSession& session) { return UsbInit(session, *o); }; });
}

} // namespace zem::cli
