// zemcli send PROFILE --to KEY [--works keep|clear] [--json]: sends a profile file into an instrument.

#include "cli/CliSession.h"
#include "cli/JsonOutput.h"
#include "cli/Commands.h"
#include "cli/StopSignals.h"
#include "cli/TerminalProgress.h"
#include "main/InvioProfilo.h"
#include "profile/ProfiloZem.h"

#include <CLI/CLI.hpp>

#include <iostream>

namespace zem::cli {

namespace {

// The questions --yes must not answer. Those that decide the fate of the works stored in the
// instrument are answered by --works: keep answers Yes to keeping them and No to every clearing,
// clear the opposite.
void AnswerQuestions(TerminalHost& host, const std::optional<std::string>& works)
{
    using ui::MsgAnswer;
    const bool keep = works == "keep";
    const auto kept = works ? std::optional(keep ? MsgAnswer::Yes : MsgAnswer::No) : std::nullopt;
    const auto clearing = works ? std::optional(keep ? MsgAnswer::No : MsgAnswer::Yes) : std::nullopt;
    const std::string reason = works ? "--works " + *works : "";
    host.AnswerQuestion(ui::Question::KeepWorks, kept, reason);
    host.AnswerQuestion(ui::Question::ClearWorks, clearing, reason);
    host.AnswerQuestion(ui::Question::ClearOldFormatMemory, clearing, reason);
    // Going on without update mode is a technician's call, not a script's: asked on a terminal only.
    host.AnswerQuestion(ui::Question::ContinueWithoutUpdateMode, std::nullopt, "");
}

struct SendOptions {
    std::string profile;
    std::string key;
    std::optional<std::string> works;
    bool json = false;
};

const char* Name(SendOutcome outcome)
{
    switch (outcome) {
    case SendOutcome::Succeeded: return "succeeded";
    case SendOutcome::Refused: return "refused";
    case SendOutcome::Failed: break;
    }
    return "failed";
}

int Send(CliSession& session, const SendOptions& o)
{
    if (o.json) session.Host().NoticesToStderr();
    ProfiloZem profilo;
    if (!profilo.ApriFile(o.profile)) {
        session.Host().MsgBox("Open file error.\r\n" + o.profile + "\r\n" + profilo.LastError(), ui::MsgButtons::OK,
                              ui::MsgIcon::Exclamation);
        return kExitFailed;
    }
    AnswerQuestions(session.Host(), o.works);
    TerminalProgress progress = session.Progress();
    const StopSignals signals;
    StopSignals::SetState("If the transfer had begun, the instrument stays in update mode with its memory header "
                          "cleared: send a profile to it again.");
    const SendOutcome esito = InvioProfilo(session.Host(), session.Platform(), session.Gate(), progress)
                                  .Invia(profilo, o.key);
    if (o.json)
        PrintJson({{"key", JsonText(o.key)}, {"profile", o.profile}, {"outcome", Name(esito)},
                   {"exchanges", ExchangeLog::Json(session.Log().Counted())}, {"seconds", session.Log().Seconds()}});
    if (StopSignals::Raised() && esito != SendOutcome::Succeeded) {
        std::cerr << (esito == SendOutcome::Refused
                          ? "Stopped before the transfer: nothing was written, the instrument is as it was found.\n"
                          : "Stopped during the transfer: the instrument stays in update mode with its memory header "
                            "cleared: send a profile to it again.\n");
        return kExitRefused;
    }
    switch (esito) {
    case SendOutcome::Succeeded: return kExitDone;
    case SendOutcome::Refused: return kExitRefused;
    case SendOutcome::Failed: break;
    }
    return kExitFailed;
}

} // namespace

void AddSendCommand(CLI::App& app, CommandRun& run)
{
    auto o = std::make_shared<SendOptions>();
    auto* command = app.add_subcommand("send", "send a profile file into the instrument's configuration memory");
    command->add_option("PROFILE", o->profile, "the profile file (.zemp)")->required();
    command->add_option("--to", o->key, "the instrument: \"USB: SERIAL\" or \"IP:HOST:PORT\"")->type_name("KEY")->required();
    command->add_option("--works", o->works, "whether the works stored in the instrument are kept or cleared")
        ->type_name("keep|clear")
        ->check(CLI::IsMember({"keep", "clear"}).description(""));
    command->add_flag("--json", o->json, "a JSON object {key, profile, outcome, exchanges: {exchanges, frames, retries, ...}, seconds}");
    command->callback([&run, o] { run = [o](CliSession& session) { return Send(session, *o); }; });
}

} // namespace zem::cli
