#include "cli/CliSession.h"

#include "link/usb/MachineUsbDriver.h"
#include "ui/Application.h"
#include "ui/CommandButton.h"
#include "ui/Form.h"
#include "ui/TextBox.h"

#include <cstdlib>
#include <fstream>
#include <iostream>

namespace zem::cli {

std::unique_ptr<CliSession> CliSession::Open(const CliOptions& options, std::string& error)
{
    std::unique_ptr<sim::SimulatedSite> site;
    std::unique_ptr<D2xx> machineUsb;
    std::optional<BroadcastTarget> broadcast;
    if (options.simulate) {
        site = std::make_unique<sim::SimulatedSite>();
        if (!site->Start()) {
            error = "the simulated instruments cannot be served on 127.0.0.1";
            return nullptr;
        }
        // The simulated modules are reached on loopback unless the broadcast is aimed elsewhere.
        broadcast = options.broadcast ? ParseBroadcastTarget(*options.broadcast) : site->Broadcast();
    } else {
        machineUsb = MachineUsbDriver();
        broadcast = ChooseBroadcastTarget(options.broadcast);
    }
    if (!broadcast) {
        error = "the broadcast target is not HOST or HOST:PORT (port 1-65535)";
        return nullptr;
    }
    return std::unique_ptr<CliSession>(new CliSession(options, std::move(site), std::move(machineUsb), *broadcast));
}

CliSession::CliSession(const CliOptions& options, std::unique_ptr<sim::SimulatedSite> site,
                       std::unique_ptr<D2xx> machineUsb, BroadcastTarget broadcast)
    : site_(std::move(site)),
      machineUsb_(std::move(machineUsb)),
      system_(site_ ? site_->UsbDriver() : *machineUsb_, std::move(broadcast)),
      host_(ui::kApplicationTitle, &system_.WindowPump(), options.yes),
      gate_(host_, settings_),
      passwordFile_(options.passwordFile)
{
    host_.OnForm("FPassword", [this](ui::Form& form) { TypePassword(form); });
}

void CliSession::TypePassword(ui::Form& form)
{
    std::optional<std::string> password;
    if (passwordFile_) {
        std::ifstream file(*passwordFile_);
        std::string line;
        if (std::getline(file, line)) password = line.substr(0, line.find('\r'));
    } else if (const char* environment = std::getenv("ZEMSETUP_PASSWORD")) {
        password = environment;
    } else {
        password = TerminalHost::Ask("Password: ", true);
    }
    if (!password) {
        std::cerr << "zemcli: no password given and no terminal to ask it on" << std::endl;
        host_.Refuse();
        form.Get<ui::CommandButton>("cmdCancel").UserClick();
        return;
    }
    form.Get<ui::TextBox>("txtPassword").UserType(*password);
    form.Get<ui::CommandButton>("cmdOK").UserClick();
}

int CliSession::ExitCode(bool done) const
{
    if (host_.Failed()) return kExitFailed;
    if (host_.Refused() || !done) return kExitRefused;
    return kExitDone;
}

} // namespace zem::cli
