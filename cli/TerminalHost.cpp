#include "cli/TerminalHost.h"

#include "link/net/WinSockEsclusivo.h"
#include "profile/InstrumentText.h"
#include "ui/Form.h"
#include "ui/ProgressBar.h"
#include "ui/Timer.h"

#include <algorithm>
#include <cctype>
#include <iostream>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace zem::cli {

namespace {

using Clock = std::chrono::steady_clock;

std::string Lines(std::string text)
{
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.replace(at, 2, "\n");
    return text;
}

// The button that Esc would press: Cancel, else No, else the last one.
ui::MsgAnswer Escape(const std::vector<ui::MsgAnswer>& answers)
{
    for (const auto a : {ui::MsgAnswer::Cancel, ui::MsgAnswer::No})
        if (std::find(answers.begin(), answers.end(), a) != answers.end()) return a;
    return answers.back();
}

std::string Lower(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

TerminalHost::TerminalHost(std::string applicationTitle, WinSockEsclusivo* windowPump, bool yes, bool quiet)
    : Host(std::move(applicationTitle)), windowPump_(windowPump), yes_(yes), quiet_(quiet)
{
}

TerminalHost::~TerminalHost()
{
    for (ui::Form* form : shown_)
        if (form->Observer() == this) form->SetObserver(nullptr);
    if (progressShown_) std::cerr << '\n';
}

void TerminalHost::AnswerQuestion(ui::Question question, std::optional<ui::MsgAnswer> answer, std::string reason)
{
    policy_[question] = {answer, std::move(reason)};
}

void TerminalHost::StartCommand() { lasting_ = drivers_; }

void TerminalHost::EndCommand()
{
    drivers_ = lasting_;
    policy_.clear();
    refused_ = failed_ = stdoutForData_ = false;
    if (progressShown_) std::cerr << '\n';
    progressShown_ = false;
}

void TerminalHost::OnForm(std::string formName, std::function<void(ui::Form&)> driver)
{
    drivers_[std::move(formName)] = std::move(driver);
}

std::optional<std::string> TerminalHost::Ask(const std::string& prompt, bool secret)
{
    if (!::isatty(STDIN_FILENO)) return std::nullopt;
    std::cerr << prompt << std::flush;
    termios saved{};
    const bool hide = secret && ::tcgetattr(STDIN_FILENO, &saved) == 0;
    if (hide) {
        termios quiet = saved;
        quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
        ::tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    std::string line;
    const bool read = static_cast<bool>(std::getline(std::cin, line));
    if (hide) {
        ::tcsetattr(STDIN_FILENO, TCSANOW, &saved);
        std::cerr << '\n';
    }
    if (!read) return std::nullopt;
    return line;
}

ui::MsgAnswer TerminalHost::ShowMessage(const ui::MessageBoxRequest& request)
{
    const auto answers = ui::ButtonsOf(request.buttons);
    // A terminal scrolls: the details follow the summary.
    const std::string text =
        InstrumentText::Readable(Lines(request.details.empty() ? request.text : request.text + "\r\n" + request.details));
    const bool warning = request.icon == ui::MsgIcon::Critical || request.icon == ui::MsgIcon::Exclamation;
    if (answers.size() == 1) {
        if (warning) std::cerr << text << std::endl;
        else if (!quiet_) (stdoutForData_ ? std::cerr : std::cout) << text << std::endl;
        failed_ = failed_ || warning;
        return answers.front();
    }

    std::optional<ui::MsgAnswer> answer;
    bool byYes = yes_;
    if (const auto policy = policy_.find(request.question); policy != policy_.end()) {
        byYes = false;
        answer = policy->second.answer;
        if (answer && !quiet_) std::cerr << text << "\n" << ui::AnswerName(*answer) << " (" << policy->second.reason << ")" << std::endl;
    }
    if (byYes) {
        for (const auto a : answers)
            if (a == ui::MsgAnswer::Yes || a == ui::MsgAnswer::OK) answer = a;
        if (answer && !quiet_) std::cerr << text << "\n" << ui::AnswerName(*answer) << " (--yes)" << std::endl;
    }
    std::string names;
    for (const auto a : answers) names += (names.empty() ? "" : "/") + ui::AnswerName(a);
    while (!answer) {
        const auto line = Ask(text + "\n[" + names + "] ", false);
        if (!line) {
            std::cerr << (::isatty(STDIN_FILENO) ? "" : text + "\n") << "(not answered: "
                      << ui::AnswerName(Escape(answers)) << ")" << std::endl;
            answer = Escape(answers);
            break;
        }
        const std::string typed = Lower(*line);
        if (typed.empty()) answer = request.defaultButton;
        for (const auto a : answers)
            if (!typed.empty() && Lower(ui::AnswerName(a)).rfind(typed, 0) == 0) answer = a;
    }
    if (*answer == ui::MsgAnswer::No || *answer == ui::MsgAnswer::Cancel) refused_ = true;
    return *answer;
}

std::optional<std::string> TerminalHost::ShowInputBox(const ui::InputBoxRequest& request)
{
    auto text = Ask(Lines(request.prompt) + " ", false);
    if (!text) refused_ = true;
    return text;
}

ui::FileDialogResult TerminalHost::ShowFileDialog(const ui::FileDialogRequest& request)
{
    const auto path = Ask(request.title + " - file: ", false);
    if (!path || path->empty()) {
        refused_ = true;
        return {ui::FileDialogOutcome::Cancelled, {}, {}};
    }
    return {ui::FileDialogOutcome::Chosen, *path, {}};
}

void TerminalHost::ShowModal(ui::Form& form)
{
    const auto driver = drivers_.find(form.Name());
    if (driver == drivers_.end()) {
        // Nobody can play the technician on this window here.
        std::cerr << form.Caption() << ": this window cannot be used from the command line" << std::endl;
        refused_ = true;
        form.RequestClose();
        return;
    }
    shown_.push_back(&form);
    form.SetObserver(this);
    for (ui::Control* control : form.Controls())
        if (control->Kind() == ui::ControlKind::Timer) Schedule(static_cast<ui::Timer&>(*control));
    while (form.Loaded()) {
        driver->second(form);
        if (!form.Loaded()) break;
        RunEvents(Clock::now() + std::chrono::milliseconds(200));
    }
    FormClosed(form);
}

void TerminalHost::DoEvents() { RunEvents(Clock::now()); }

void TerminalHost::Schedule(ui::Timer& timer)
{
    timers_.erase(&timer);
    if (timer.Enabled() && timer.Interval() > 0)
        timers_[&timer] = Clock::now() + std::chrono::milliseconds(timer.Interval());
}

void TerminalHost::RunEvents(Moment limit)
{
    Moment next = limit;
    for (const auto& [timer, due] : timers_) next = std::min(next, due);
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(next - Clock::now()).count();
    std::vector<pollfd> fds;
    if (windowPump_ != nullptr)
        for (const int fd : windowPump_->Descriptors()) fds.push_back({fd, POLLIN, 0});
    const int ready = ::poll(fds.data(), fds.size(), static_cast<int>(std::max<long long>(wait, 0)));
    if (ready > 0 && windowPump_ != nullptr)
        while (windowPump_->PompaMessaggiSocket()) {
        }

    // A handler may stop, restart or unload anything, so each due timer is looked up again.
    std::vector<ui::Timer*> due;
    for (const auto& [timer, at] : timers_)
        if (at <= Clock::now()) due.push_back(timer);
    for (ui::Timer* timer : due) {
        const auto it = timers_.find(timer);
        if (it == timers_.end() || it->second > Clock::now()) continue;
        it->second = Clock::now() + std::chrono::milliseconds(timer->Interval());
        timer->Tick();
    }
}

void TerminalHost::ControlChanged(ui::Control& control)
{
    if (control.Kind() == ui::ControlKind::Timer) Schedule(static_cast<ui::Timer&>(control));
    if (control.Kind() == ui::ControlKind::ProgressBar && ::isatty(STDERR_FILENO)) {
        const auto& bar = static_cast<ui::ProgressBar&>(control);
        const int span = std::max(1, bar.Max() - bar.Min());
        std::cerr << '\r' << (100 * (bar.Value() - bar.Min()) / span) << " %" << std::flush;
        progressShown_ = true;
    }
}

void TerminalHost::FormClosed(ui::Form& form)
{
    std::erase_if(timers_, [&form](const auto& t) { return &t.first->Owner() == &form; });
    std::erase(shown_, &form);
    if (form.Observer() == this) form.SetObserver(nullptr);
}

} // namespace zem::cli
