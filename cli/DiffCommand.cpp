// zemcli diff A.zemp B.zemp | diff A.zemp --to KEY: the differences field by field, as diff
// answers: 0 the same, 1 different, 2 usage error or trouble (a file or instrument not read).

#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "main/ConfrontoProfilo.h"
#include "profile/ProfiloZem.h"

#include <CLI/CLI.hpp>

#include <iostream>

namespace zem::cli {

namespace {

constexpr int kExitTrouble = 2;

struct DiffOptions {
    std::vector<std::string> files;
    std::optional<std::string> key;
};

std::optional<ProfiloZem> Apri(CliSession& session, const std::string& file)
{
    ProfiloZem p;
    if (p.ApriFile(file)) return p;
    session.Host().MsgBox("Open file error.\r\n" + file, ui::MsgButtons::OK, ui::MsgIcon::Exclamation);
    return std::nullopt;
}

int Diff(CliSession& session, const DiffOptions& o)
{
    const auto a = Apri(session, o.files[0]);
    if (!a) return kExitTrouble;
    ConfrontoProfilo::Esito esito;
    if (o.key) {
        TerminalProgress progress = session.Progress();
        const auto letto = ConfrontoProfilo(session.Host(), session.Platform(), progress).ConStrumento(*a, *o.key);
        if (!letto) return kExitTrouble;  // the message told why
        esito = *letto;
    } else {
        const auto b = Apri(session, o.files[1]);
        if (!b) return kExitTrouble;
        esito.differenze = ConfrontoProfilo::Differenze(*a, *b);
    }
    for (const std::string& d : esito.differenze) std::cout << d << '\n';
    if (o.key) {
        std::string nota = "Not compared, as the instrument memory does not keep them:\n" + ElencoCampi(esito.nonConfrontati);
        std::erase(nota, '\r');
        std::cerr << nota << '\n';
    }
    return esito.differenze.empty() ? kExitDone : kExitFailed;
}

} // namespace

void AddDiffCommand(CLI::App& app, CommandRun& run)
{
    auto o = std::make_shared<DiffOptions>();
    auto* command = app.add_subcommand(
        "diff", "the fields where profile A differs from profile B or from what the instrument holds; "
                "exit 0 the same, 1 different, 2 trouble");
    command->add_option("FILES", o->files, "A.zemp, and B.zemp unless --to names the instrument")
        ->required()
        ->expected(1, 2);
    command->add_option("--to", o->key, "compare A with the instrument: \"USB: SERIAL\" or \"IP:HOST:PORT\"")
        ->type_name("KEY");
    command->callback([&run, o] {
        if (o->files.size() != (o->key ? 1u : 2u))
            throw CLI::ValidationError("FILES", o->key ? "one profile with --to" : "two profiles, or one and --to KEY");
        run = [o](CliSession& session) { return Diff(session, *o); };
    });
}

} // namespace zem::cli
