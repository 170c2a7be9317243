// zemcli diff A.zemp B.zemp | diff A.zemp --to KEY: the differences field by field, as diff
// answers: 0 the same, 1 different, 2 usage error or trouble (a file or instrument not read).

#include "cli/CliSession.h"
#include "cli/CommandArguments.h"
#include "cli/Commands.h"
#include "main/ConfrontoProfilo.h"
#include "profile/ProfiloZem.h"

#include <iostream>

namespace zem::cli {

namespace {

constexpr int kExitTrouble = 2;

std::optional<ProfiloZem> Apri(CliSession& session, const std::string& file)
{
    ProfiloZem p;
    if (p.ApriFile(file)) return p;
    session.Host().MsgBox("Open file error.\r\n" + file, ui::MsgButtons::OK, ui::MsgIcon::Exclamation);
    return std::nullopt;
}

} // namespace

int DiffCommand(CliSession& session, const std::vector<std::string>& arguments)
{
    const auto args = CommandArguments::Parse(arguments, {"--to"});
    const bool conStrumento = args && args->Value("--to");
    if (!args || args->plain.size() != (conStrumento ? 1u : 2u)) {
        std::cerr << "usage: zemcli diff A.zemp B.zemp | zemcli diff A.zemp --to KEY\n";
        return kExitUsage;
    }
    const auto a = Apri(session, args->plain[0]);
    if (!a) return kExitTrouble;
    ConfrontoProfilo::Esito esito;
    if (conStrumento) {
        const auto letto = ConfrontoProfilo(session.Host(), session.Platform()).ConStrumento(*a, args->Value("--to"));
        if (!letto) return kExitTrouble;  // the message told why
        esito = *letto;
    } else {
        const auto b = Apri(session, args->plain[1]);
        if (!b) return kExitTrouble;
        esito.differenze = ConfrontoProfilo::Differenze(*a, *b);
    }
    for (const std::string& d : esito.differenze) std::cout << d << '\n';
    if (conStrumento) {
        std::string nota = "Not compared, as the instrument memory does not keep them:\n" + ElencoCampi(esito.nonConfrontati);
        std::erase(nota, '\r');
        std::cerr << nota << '\n';
    }
    return esito.differenze.empty() ? kExitDone : kExitFailed;
}

} // namespace zem::cli
