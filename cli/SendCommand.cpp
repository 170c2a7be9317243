// zemcli send PROFILE --to KEY [--works keep|clear]: sends a profile file into an instrument.

#include "cli/CliSession.h"
#include "cli/CommandArguments.h"
#include "cli/Commands.h"
#include "cli/StopSignals.h"
#include "cli/TerminalProgress.h"
#include "main/InvioProfilo.h"
#include "profile/ProfiloZem.h"

#include <iostream>
#include <unistd.h>

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

} // namespace

int SendCommand(CliSession& session, const std::vector<std::string>& arguments)
{
    const auto args = CommandArguments::Parse(arguments, {"--to", "--works"});
    const auto works = args ? args->Value("--works") : std::nullopt;
    if (!args || args->plain.size() != 1 || !args->Value("--to") || (works && works != "keep" && works != "clear")) {
        std::cerr << "usage: zemcli send PROFILE --to KEY [--works keep|clear]\n";
        return kExitUsage;
    }
    const std::string& path = args->plain[0];
    ProfiloZem profilo;
    if (!profilo.ApriFile(path)) {
        session.Host().MsgBox("Open file error.\r\n" + path + "\r\n" + profilo.LastError(), ui::MsgButtons::OK,
                              ui::MsgIcon::Exclamation);
        return kExitFailed;
    }
    AnswerQuestions(session.Host(), works);
    TerminalProgress progress(std::cerr, ::isatty(STDERR_FILENO));
    const StopSignals signals;
    StopSignals::SetState("If the transfer had begun, the instrument stays in update mode with its memory header "
                          "cleared: send a profile to it again.");
    const SendOutcome esito = InvioProfilo(session.Host(), session.Platform(), session.Gate(), progress)
                                  .Invia(profilo, *args->Value("--to"));
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

} // namespace zem::cli
