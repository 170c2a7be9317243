// zemcli monitor --to KEY [--once] [--json]: the diagnosis start-up, then the live transducer values and
// the eight inputs and outputs every 400 ms until q or Ctrl-C (one reading with --once).

#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "diagnosis/DescrizioneTrasduttore.h"
#include "diagnosis/DiagnosticSession.h"
#include "profile/CatalogoFunzioni.h"

#include <CLI/CLI.hpp>

#include <array>
#include <csignal>
#include <iostream>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace zem::cli {

namespace {

constexpr int kPeriodoMs = 400;

volatile std::sig_atomic_t interrotto = 0;

void Interrompi(int) { interrotto = 1; }

// Ctrl-C and a terminal that goes away end the watch on the next turn, so the session still
// leaves diagnostic mode; q is read without Enter while the watch runs.
class Terminale {
public:
    Terminale()
    {
        struct sigaction azione {};
        azione.sa_handler = Interrompi;
        sigemptyset(&azione.sa_mask);
        for (std::size_t i = 0; i < kSegnali.size(); ++i) ::sigaction(kSegnali[i], &azione, &precedenti_[i]);
        crudo_ = ::isatty(STDIN_FILENO) && ::tcgetattr(STDIN_FILENO, &salvato_) == 0;
        if (crudo_) {
            termios t = salvato_;
            t.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
            ::tcsetattr(STDIN_FILENO, TCSANOW, &t);
        }
    }
    ~Terminale()
    {
        if (crudo_) ::tcsetattr(STDIN_FILENO, TCSANOW, &salvato_);
        for (std::size_t i = 0; i < kSegnali.size(); ++i) ::sigaction(kSegnali[i], &precedenti_[i], nullptr);
    }
    Terminale(const Terminale&) = delete;
    Terminale& operator=(const Terminale&) = delete;

    // Waits one period; false once q was typed or the run was interrupted.
    bool Attendi()
    {
        pollfd fd{STDIN_FILENO, POLLIN, 0};
        if (!ingressoChiuso_ && ::poll(&fd, 1, kPeriodoMs) > 0) {
            char c = 0;
            const ssize_t letti = ::read(STDIN_FILENO, &c, 1);
            if (letti <= 0) ingressoChiuso_ = true;  // no input any more: only a signal ends the watch
            else if (c == 'q' || c == 'Q') return false;
        } else if (ingressoChiuso_) {
            ::poll(nullptr, 0, kPeriodoMs);
        }
        return interrotto == 0;
    }

private:
    static constexpr std::array<int, 3> kSegnali{SIGINT, SIGTERM, SIGHUP};
    std::array<struct sigaction, 3> precedenti_{};
    termios salvato_{};
    bool crudo_ = false;
    bool ingressoChiuso_ = false;
};

bool Acceso(std::int32_t parola, int n) { return (parola >> n & 1) != 0; }

// One reading: the six transducers by the diagnosis' names, then inputs and outputs with the
// functions the instrument's configuration gives them, as text or as one JSON line. False when
// the instrument did not answer.
bool Lettura(UCZEM2& link, bool json)
{
    const auto t = link.LeggiTrasduttori();
    const auto io = link.LeggiIngressiUscite();
    if (!t || !io) return false;
    const std::pair<int, std::int32_t> valori[] = {{3, t->A1}, {2, t->A3}, {1, t->L1},
                                                   {6, t->A2}, {5, t->A4}, {4, t->L2}};
    auto trasduttori = nlohmann::json::array(), ingressi = nlohmann::json::array(), uscite = nlohmann::json::array();
    for (const auto& [codice, valore] : valori) {
        const std::string nome = DescrizioneTrasduttore(link, codice);
        if (json) trasduttori.push_back({{"name", JsonText(nome)}, {"value", valore}});
        else std::cout << InstrumentText(nome).Utf8() << '\t' << valore << '\n';
    }
    const auto punto = [json](nlohmann::json& lista, const char* tipo, int n, bool acceso, const std::string& funzione) {
        if (json) lista.push_back({{"number", n}, {"on", acceso}, {"function", JsonText(funzione)}});
        else std::cout << tipo << ' ' << n << '\t' << (acceso ? "on" : "off") << '\t' << InstrumentText(funzione).Utf8() << '\n';
    };
    for (int n = 0; n < 8; ++n) punto(ingressi, "Input", n, Acceso(io->ingressi, n), NomeFunzioneIngresso(link.FunzioneIngresso(n)));
    for (int n = 0; n < 8; ++n) punto(uscite, "Output", n, Acceso(io->uscite, n), NomeFunzioneUscita(link.FunzioneUscita(n)));
    if (json) PrintJson({{"transducers", trasduttori}, {"inputs", ingressi}, {"outputs", uscite}});
    else std::cout << std::endl;
    return true;
}

struct MonitorOptions {
    std::string key;
    bool once = false;
    bool json = false;
};

int Monitor(CliSession& session, const MonitorOptions& o)
{
    if (o.json) session.Host().NoticesToStderr();
    DiagnosticSession diagnosi(session.Host(), session.Platform());
    // An instrument that cannot be watched is a failure, whatever icon its message had.
    if (!diagnosi.Apri(o.key)) {
        diagnosi.SegnalaErroreApertura();
        return kExitFailed;
    }
    if (!diagnosi.VerificaStrumento() || diagnosi.Prepara() != DiagnosticSession::Preparazione::Pronto
        || !diagnosi.AttivaDiagnosi())
        return kExitFailed;

    Terminale terminale;
    bool letta = Lettura(diagnosi.Link(), o.json);
    // A reader gone (EPIPE, SIGPIPE being ignored) ends the watch as q would.
    while (letta && std::cout && !o.once && terminale.Attendi()) letta = Lettura(diagnosi.Link(), o.json);
    if (!letta) session.Host().MsgBox("Communication error.", ui::MsgButtons::OK, ui::MsgIcon::Critical);
    diagnosi.Chiudi();
    return session.ExitCode(letta);
}

} // namespace

void AddMonitorCommand(CLI::App& app, CommandRun& run)
{
    auto o = std::make_shared<MonitorOptions>();
    auto* command = app.add_subcommand("monitor", "the instrument's live transducer values, inputs and outputs every 400 ms until q or Ctrl-C");
    command->add_option("--to", o->key, "the instrument: \"USB: SERIAL\" or \"IP:HOST:PORT\"")->type_name("KEY")->required();
    command->add_flag("--once", o->once, "one reading, for scripts");
    command->add_flag("--json", o->json, "each reading as one JSON line {transducers, inputs, outputs}");
    command->callback([&run, o] { run = [o](CliSession& session) { return Monitor(session, *o); }; });
}

} // namespace zem::cli
