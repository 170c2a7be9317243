// zemcli monitor --to KEY [--once]: the diagnosis start-up, then the live transducer values and
// the eight inputs and outputs every 400 ms until q or Ctrl-C (one reading with --once).

#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "diagnosis/DescrizioneTrasduttore.h"
#include "diagnosis/DiagnosticSession.h"
#include "profile/CatalogoFunzioni.h"

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

std::string Stato(std::int32_t parola, int n) { return (parola >> n & 1) != 0 ? "on" : "off"; }

// One reading: the six transducers by the diagnosis' names, then inputs and outputs with the
// functions the instrument's configuration gives them. False when the instrument did not answer.
bool Lettura(UCZEM2& link)
{
    const auto t = link.LeggiTrasduttori();
    const auto io = link.LeggiIngressiUscite();
    if (!t || !io) return false;
    const std::pair<int, std::int32_t> valori[] = {{3, t->A1}, {2, t->A3}, {1, t->L1},
                                                   {6, t->A2}, {5, t->A4}, {4, t->L2}};
    for (const auto& [codice, valore] : valori) std::cout << DescrizioneTrasduttore(link, codice) << '\t' << valore << '\n';
    for (int n = 0; n < 8; ++n)
        std::cout << "Input " << n << '\t' << Stato(io->ingressi, n) << '\t' << NomeFunzioneIngresso(link.FunzioneIngresso(n)) << '\n';
    for (int n = 0; n < 8; ++n)
        std::cout << "Output " << n << '\t' << Stato(io->uscite, n) << '\t' << NomeFunzioneUscita(link.FunzioneUscita(n)) << '\n';
    std::cout << std::endl;
    return true;
}

} // namespace

int MonitorCommand(CliSession& session, const std::vector<std::string>& arguments)
{
    std::string chiave;
    bool once = false, errato = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--to" && i + 1 < arguments.size()) chiave = arguments[++i];
        else if (arguments[i] == "--once") once = true;
        else errato = true;
    }
    if (errato || chiave.empty()) {
        std::cerr << "usage: zemcli monitor --to KEY [--once]\n";
        return kExitUsage;
    }
    DiagnosticSession diagnosi(session.Host(), session.Platform());
    // An instrument that cannot be watched is a failure, whatever icon its message had.
    if (!diagnosi.Apri(chiave)) {
        diagnosi.SegnalaErroreApertura();
        return kExitFailed;
    }
    if (!diagnosi.VerificaStrumento() || diagnosi.Prepara() != DiagnosticSession::Preparazione::Pronto
        || !diagnosi.AttivaDiagnosi())
        return kExitFailed;

    Terminale terminale;
    bool letta = Lettura(diagnosi.Link());
    // A reader gone (EPIPE, SIGPIPE being ignored) ends the watch as q would.
    while (letta && std::cout && !once && terminale.Attendi()) letta = Lettura(diagnosi.Link());
    if (!letta) session.Host().MsgBox("Communication error.", ui::MsgButtons::OK, ui::MsgIcon::Critical);
    diagnosi.Chiudi();
    return session.ExitCode(letta);
}

} // namespace zem::cli
