// zemcli list [--usb-only | --network-only] [--json]: what the selection window would list.

#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "discovery/FSceltaStrumento.h"

#include <cstdio>
#include <iostream>

namespace zem::cli {

namespace {

std::string Json(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

} // namespace

int ListCommand(CliSession& session, const std::vector<std::string>& arguments)
{
    bool usbOnly = false, networkOnly = false, json = false;
    for (const auto& a : arguments) {
        if (a == "--usb-only") {
            usbOnly = true;
        } else if (a == "--network-only") {
            networkOnly = true;
        } else if (a == "--json") {
            json = true;
        } else {
            usbOnly = networkOnly = true;  // unknown: refused below
        }
    }
    if (usbOnly && networkOnly) {
        std::cerr << "usage: zemcli list [--usb-only | --network-only] [--json]\n";
        return kExitUsage;
    }

    FSceltaStrumento window(session.Host(), session.Platform());
    session.Host().OnForm(window.Name(), [&window](ui::Form&) {
        if (window.RicercaFinita()) window.cmdCancel.UserClick();
    });
    window.LoadForm("List of instruments", networkOnly, usbOnly);

    const auto voci = window.Elenco();
    if (json) std::cout << "[";
    for (std::size_t i = 0; i < voci.size(); ++i) {
        const auto& v = voci[i];
        if (json) {
            std::cout << (i ? ",\n " : "\n ") << "{\"key\": " << Json(v.chiave) << ", \"name\": " << Json(v.nome)
                      << ", \"info\": " << Json(v.info) << "}";
        } else {
            std::cout << v.chiave << '\t' << v.nome << '\t' << v.info << '\n';
        }
    }
    if (json) std::cout << (voci.empty() ? "]\n" : "\n]\n");
    return session.ExitCode(true);
}

} // namespace zem::cli
