// zemcli curve --to KEY --measure M [--count N] [--csv FILE]: waits for the next N pieces of a
// press force-position or test-cylinder measure and prints each one's result; with --csv it
// writes each curve and its results (FILE, or FILE numbered per piece when N > 1). Ctrl-C stops
// the watch cleanly: the link is closed and what was written stays.

#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "diagnosis/CurveCsv.h"
#include "diagnosis/CurveMonitor.h"

#include <algorithm>
#include <charconv>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <poll.h>

namespace zem::cli {

namespace {

volatile std::sig_atomic_t interrotto = 0;

void Interrompi(int) { interrotto = 1; }

std::optional<int> Numero(const std::string& text)
{
    int value = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (r.ec != std::errc{} || r.ptr != text.data() + text.size() || value < 1) return std::nullopt;
    return value;
}

std::string Riga(const CompletedPiece& p)
{
    std::string t = "piece " + std::to_string(p.number) + ": " + p.Verdict();
    if (const auto& r = p.results)
        t += "; peak " + CurveCsv::Number(r->ForzaPicco, p.forceDecimals) + " at "
            + CurveCsv::Number(r->QuotaPicco, p.positionDecimals) + "; reject causes " + std::to_string(r->CauseScarto)
            + "; check-point rejects " + std::to_string(r->CauseScartoCheckPoint);
    return t + "; " + (p.curve ? std::to_string(p.curve->size()) + " points" : "no curve");
}

} // namespace

int CurveCommand(CliSession& session, const std::vector<std::string>& arguments)
{
    std::string key, csv;
    std::optional<int> measure, count = 1;
    bool valid = true;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        const bool value = i + 1 < arguments.size();
        if (a == "--to" && value) key = arguments[++i];
        else if (a == "--measure" && value) measure = Numero(arguments[++i]);
        else if (a == "--count" && value) count = Numero(arguments[++i]);
        else if (a == "--csv" && value) csv = arguments[++i];
        else valid = false;
    }
    if (!valid || key.empty() || !measure || !count) {
        std::cerr << "usage: zemcli curve --to KEY --measure M [--count N] [--csv FILE]\n";
        return kExitUsage;
    }

    // Files already there are replaced only once the technician agreed, before any piece is awaited.
    ui::Host& host = session.Host();
    for (int n = 1; !csv.empty() && n <= *count; ++n) {
        const std::string file = *count > 1 ? CurveCsv::Numbered(csv, n) : csv;
        std::error_code ec;
        if (std::filesystem::exists(std::filesystem::symlink_status(file, ec)) &&
            host.Ask(ui::Question::ReplaceFile, file + " already exists.\r\nDo you want to replace it?",
                     ui::MsgButtons::YesNo, ui::MsgIcon::Exclamation, ui::MsgAnswer::No) != ui::MsgAnswer::Yes)
            return kExitRefused;
    }

    CurveMonitor monitor(session.Platform());
    if (const auto errore = monitor.Open(key)) {
        session.Host().MsgBox(*errore, ui::MsgButtons::OK, ui::MsgIcon::Critical);
        return session.ExitCode(false);
    }
    const auto misure = monitor.Measures();
    if (std::find(misure.begin(), misure.end(), *measure) == misure.end()) {
        std::cerr << "zemcli: measure " << *measure << " is not a press force-position or test-cylinder measure\n";
        return kExitFailed;
    }
    int pezzi = 0;
    bool perso = false, scritto = true;
    monitor.PieceDone = [&](const CompletedPiece& p) {
        ++pezzi;
        std::cout << Riga(p) << std::endl;
        if (csv.empty()) return;
        const std::string file = *count > 1 ? CurveCsv::Numbered(csv, pezzi) : csv;
        if (const auto errore = CurveCsv::Write(file, p)) {
            std::cerr << "zemcli: " << *errore << std::endl;
            scritto = false;
        }
    };
    monitor.LinkLost = [&] { perso = true; };
    if (!monitor.Start(*measure)) perso = true;

    interrotto = 0;
    struct sigaction azione{}, prima{};
    azione.sa_handler = Interrompi;
    ::sigaction(SIGINT, &azione, &prima);
    while (!perso && scritto && !interrotto && pezzi < *count) {
        monitor.Tick();
        ::poll(nullptr, 0, CurveMonitor::kTickMs);
    }
    ::sigaction(SIGINT, &prima, nullptr);
    monitor.Close();

    if (perso) session.Host().MsgBox("Communication error", ui::MsgButtons::OK, ui::MsgIcon::Critical);
    if (interrotto) std::cerr << "zemcli: stopped after " << pezzi << " of " << *count << " pieces" << std::endl;
    if (!scritto) return kExitFailed;
    return session.ExitCode(pezzi == *count);
}

} // namespace zem::cli
