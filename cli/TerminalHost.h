#pragma once

#include "ui/FormObserver.h"
#include "ui/Host.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zem {
class WinSockEsclusivo;
}

namespace zem::ui {
class Timer;
}

namespace zem::cli {

// The windows on a terminal. Messages are printed (warnings and errors on stderr); a question is
// answered Yes/OK by --yes, else asked on the terminal, else refused with its Cancel or No. Modal
// forms run with real timers and the window sockets pumped, while a driver given by the command
// plays the technician on them.
class TerminalHost final : public ui::Host, private ui::FormObserver {
public:
    // `windowPump`: the pump of the window sockets, nullptr when no window has one.
    // `quiet`: only data and errors are printed, no notices and no answers given by flags.
    TerminalHost(std::string applicationTitle, WinSockEsclusivo* windowPump, bool yes, bool quiet);
    ~TerminalHost() override;

    // While the form named so is shown, `driver` runs after every event; it closes the form when
    // its part is done. One given during a command is dropped when the command ends.
    void OnForm(std::string formName, std::function<void(ui::Form&)> driver);

    // The question `question` is answered `answer`, printed with `reason`, instead of by --yes;
    // with no answer it is asked on the terminal even under --yes, and refused without one. The
    // answer holds until the command that gave it ends; a later call for the same question
    // replaces the earlier.
    void AnswerQuestion(ui::Question question, std::optional<ui::MsgAnswer> answer, std::string reason);

    // The command's notices go to stderr: its stdout is data (JSON), or it has nothing to tell there.
    void NoticesToStderr() { stdoutForData_ = true; }

    // A command of a chained run starts: the drivers given so far outlive it.
    void StartCommand();
    // The command ended: its answers, its drivers, the refusal and failure it saw, and where its
    // notices went are dropped,
    // so the next command of the run starts as it would alone.
    void EndCommand();

    // A question was answered No or Cancel, or could not be asked.
    bool Quiet() const { return quiet_; }
    bool Refused() const { return refused_; }
    // A warning or an error was shown.
    bool Failed() const { return failed_; }
    // A driver could not give the answer a window asked for.
    void Refuse() { refused_ = true; }

    // A line of text from the terminal, not echoed when `secret`; nothing without a terminal.
    static std::optional<std::string> Ask(const std::string& prompt, bool secret);

    ui::FileDialogResult ShowFileDialog(const ui::FileDialogRequest& request) override;
    void ShowModal(ui::Form& form) override;
    void DoEvents() override;
    void SetBusy(bool) override {}

protected:
    ui::MsgAnswer ShowMessage(const ui::MessageBoxRequest& request) override;
    std::optional<std::string> ShowInputBox(const ui::InputBoxRequest& request) override;

private:
    using Moment = std::chrono::steady_clock::time_point;

    void Schedule(ui::Timer& timer);
    // Waits for a socket or the next timer, at most until `limit`, and runs what is due.
    void RunEvents(Moment limit);
    void ControlChanged(ui::Control& control) override;
    void FormChanged(ui::Form&) override {}
    void FormClosed(ui::Form& form) override;

    WinSockEsclusivo* windowPump_;
    bool yes_;
    bool quiet_;
    bool stdoutForData_ = false;
    bool refused_ = false;
    bool failed_ = false;
    bool progressShown_ = false;
    struct Policy {
        std::optional<ui::MsgAnswer> answer;
        std::string reason;
    };
    using Drivers = std::map<std::string, std::function<void(ui::Form&)>>;

    Drivers drivers_;
    Drivers lasting_;  // the drivers given before the command, restored after it
    std::map<ui::Question, Policy> policy_;
    std::vector<ui::Form*> shown_;
    std::map<ui::Timer*, Moment> timers_;
};

} // namespace zem::cli
