// zemcli curve --to KEY --measure M [--count N] [--csv FILE|-] [--json]: waits for the next N pieces of a
// press force-position or test-cylinder measure and prints each one's result; with --csv it
// writes each curve and its results (FILE, or FILE numbered per piece when N > 1). Ctrl-C stops
// the watch cleanly: the link is closed and what was written stays.

#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "diagnosis/CurveCsv.h"
#include "diagnosis/CurveMonitor.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <poll.h>

namespace zem::cli {

namespace {

volatile std::sig_atomic_t interrotto = 0;

void Interrompi(int) { interrotto = 1; }

std::string Riga(const CompletedPiece& p)
{
    std::string t = "piece " + std::to_string(p.number) + ": " + p.Verdict();
    if (const auto& r = p.results)
        t += "; peak " + CurveCsv::Number(r->ForzaPicco, p.forceDecimals) + " at "
            + CurveCsv::Number(r->QuotaPicco, p.positionDecimals) + "; reject causes " + std::to_string(r->CauseScarto)
            + "; check-point rejects " + std::to_string(r->CauseScartoCheckPoint);
    return t + "; " + (p.curve ? std::to_string(p.curve->size()) + " points" : "no curve");
}

nlohmann::json Json(const CompletedPiece& p)
{
    nlohmann::json piece = {{"piece", p.number}, {"measure", p.measure}, {"verdict", p.Verdict()},
                            {"points", p.curve ? nlohmann::json(p.curve->size()) : nlohmann::json()}};
    if (const auto& r = p.results) {
        piece["peakForce"] = r->ForzaPicco;
        piece["peakPosition"] = r->QuotaPicco;
        piece["rejectCauses"] = r->CauseScarto;
        piece["checkPointRejects"] = r->CauseScartoCheckPoint;
    }
    return piece;
}

struct CurveOptions {
    std::string key;
    int measure = 0;
    int count = 1;
    std::string csv;  // "-": standard output
    bool json = false;

    std::string File(int piece) const { return count > 1 ? CurveCsv::Numbered(csv, piece) : csv; }
};

// Writes a piece's CSV where --csv asks; false when it could not be written whole.
bool Scrivi(const CurveOptions& o, const CompletedPiece& p)
{
    if (o.csv == "-") return static_cast<bool>(std::cout << CurveCsv::Text(p) << std::flush);
    const auto errore = CurveCsv::Write(o.File(p.number), p);
    if (errore) std::cerr << "zemcli: " << *errore << std::endl;
    return !errore;
}

// Files already there are replaced only once the technician agreed, before any piece is awaited.
bool PuoSostituire(ui::Host& host, const CurveOptions& o)
{
    for (int n = 1; !o.csv.empty() && o.csv != "-" && n <= o.count; ++n) {
        const std::string file = o.File(n);
        std::error_code ec;
        if (std::filesystem::exists(std::filesystem::symlink_status(file, ec)) &&
            host.Ask(ui::Question::ReplaceFile, file + " already exists.\r\nDo you want to replace it?",
                     ui::MsgButtons::YesNo, ui::MsgIcon::Exclamation, ui::MsgAnswer::No) != ui::MsgAnswer::Yes)
            return false;
    }
    return true;
}

int Curve(CliSession& session, const CurveOptions& o)
{
    // With the curves on stdout, the pieces' lines and the notices make way for them.
    const bool csvOut = o.csv == "-";
    if (o.json || csvOut) session.Host().NoticesToStderr();
    if (!PuoSostituire(session.Host(), o)) return kExitRefused;

    CurveMonitor monitor(session.Platform());
    if (const auto errore = monitor.Open(o.key)) {
        session.Host().MsgBox(*errore, ui::MsgButtons::OK, ui::MsgIcon::Critical);
        return session.ExitCode(false);
    }
    const auto misure = monitor.Measures();
    if (std::find(misure.begin(), misure.end(), o.measure) == misure.end()) {
        std::cerr << "zemcli: measure " << o.measure << " is not a press force-position or test-cylinder measure\n";
        return kExitFailed;
    }
    int pezzi = 0;
    bool perso = false, scritto = true;
    monitor.PieceDone = [&](const CompletedPiece& p) {
        ++pezzi;
        if (o.json && !csvOut) PrintJson(Json(p));
        else (csvOut ? std::cerr : std::cout) << Riga(p) << std::endl;
        if (!o.csv.empty()) scritto = Scrivi(o, p) && scritto;
    };
    monitor.LinkLost = [&] { perso = true; };
    if (!monitor.Start(o.measure)) perso = true;

    interrotto = 0;
    struct sigaction azione{}, prima{};
    azione.sa_handler = Interrompi;
    ::sigaction(SIGINT, &azione, &prima);
    while (!perso && scritto && !interrotto && pezzi < o.count) {
        monitor.Tick();
        ::poll(nullptr, 0, CurveMonitor::kTickMs);
    }
    ::sigaction(SIGINT, &prima, nullptr);
    monitor.Close();

    if (perso) session.Host().MsgBox("Communication error", ui::MsgButtons::OK, ui::MsgIcon::Critical);
    if (interrotto) std::cerr << "zemcli: stopped after " << pezzi << " of " << o.count << " pieces" << std::endl;
    if (!scritto) return kExitFailed;
    return session.ExitCode(pezzi == o.count);
}

} // namespace

void AddCurveCommand(CLI::App& app, CommandRun& run)
{
    auto o = std::make_shared<CurveOptions>();
    auto* command = app.add_subcommand("curve", "wait for the next pieces of a press measure, print their results, write their curves");
    command->add_option("--to", o->key, "the instrument: \"USB: SERIAL\" or \"IP:HOST:PORT\"")->type_name("KEY")->required();
    command->add_option("--measure", o->measure, "the press force-position or test-cylinder measure, 1 to 6")
        ->type_name("M")
        ->required()
        ->check(CLI::Range(1, 6).description(""));
    command->add_option("--count", o->count, "how many pieces to wait for (1)")->type_name("N")->check(CLI::Validator(CLI::PositiveNumber).description(""));
    command->add_option("--csv", o->csv, "write each curve to FILE (FILE-1.csv, ... when N > 1; - for stdout)")
        ->type_name("FILE");
    command->add_flag("--json", o->json, "each piece as one JSON line {piece, measure, verdict, points, peakForce, ...}");
    command->callback([&run, o] { run = [o](CliSession& session) { return Curve(session, *o); }; });
}

} // namespace zem::cli
