// zemcli list [--usb-only | --network-only] [--json]: what the selection window would list.

#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "discovery/FSceltaStrumento.h"

#include <CLI/CLI.hpp>

namespace zem::cli {

namespace {

struct ListOptions {
    bool usbOnly = false;
    bool networkOnly = false;
    bool json = false;
};

int List(CliSession& session, const ListOptions& o)
{
    FSceltaStrumento window(session.Host(), session.Platform());
    session.Host().OnForm(window.Name(), [&window](ui::Form&) {
        if (window.RicercaFinita()) window.cmdCancel.UserClick();
    });
    window.LoadForm("List of instruments", o.networkOnly, o.usbOnly);

    auto list = nlohmann::json::array();
    for (const auto& v : window.Elenco()) {
        if (o.json) list.push_back({{"key", JsonText(v.chiave)}, {"name", JsonText(v.nome)}, {"info", JsonText(v.info)}});
        else std::cout << v.chiave << '\t' << InstrumentText(v.nome).Utf8() << '\t' << v.info << '\n';
    }
    if (o.json) PrintJson(list);
    return session.ExitCode(true);
}

} // namespace

void AddListCommand(CLI::App& app, CommandRun& run)
{
    auto o = std::make_shared<ListOptions>();
    auto* command = app.add_subcommand("list", "the instruments on USB and on the network: key, name, info");
    auto* usb = command->add_flag("--usb-only", o->usbOnly, "only the USB bridges");
    command->add_flag("--network-only", o->networkOnly, "only the Ethernet modules, by their MAC key")->excludes(usb);
    command->add_flag("--json", o->json, "a JSON array of {key, name, info}");
    command->callback([&run, o] { run = [o](CliSession& session) { return List(session, *o); }; });
}

} // namespace zem::cli
