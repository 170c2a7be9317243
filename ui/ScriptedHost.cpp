#include "ui/ScriptedHost.h"

#include "ui/Form.h"
#include "ui/Timer.h"

#include <algorithm>
#include <stdexcept>

namespace zem::ui {

namespace {

std::string Printable(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

std::string Describe(const MessageBoxRequest& m) { return "message box \"" + Printable(m.text) + "\""; }

std::string ButtonList(MsgButtons buttons)
{
    std::string list;
    for (const auto answer : ButtonsOf(buttons)) list += (list.empty() ? "" : "/") + AnswerName(answer);
    return list;
}

[[noreturn]] void Fail(const std::string& what) { throw std::logic_error("ScriptedHost: " + what); }

} // namespace

ScriptedHost::ScriptedHost(std::string applicationTitle) : Host(std::move(applicationTitle)) {}

ScriptedHost::~ScriptedHost()
{
    for (Form* form : watched_)
        if (form->Observer() == this) form->SetObserver(nullptr);
}

void ScriptedHost::Answer(MsgAnswer answer)
{
    Step step;
    step.kind = StepKind::Message;
    step.answer = answer;
    steps_.push_back(std::move(step));
}

void ScriptedHost::AnswerInput(std::optional<std::string> text)
{
    Step step;
    step.kind = StepKind::Input;
    step.input = std::move(text);
    steps_.push_back(std::move(step));
}

void ScriptedHost::ChooseFile(std::string path)
{
    Step step;
    step.kind = StepKind::File;
    step.file = {FileDialogOutcome::Chosen, std::move(path), {}};
    steps_.push_back(std::move(step));
}

void ScriptedHost::CancelFile()
{
    Step step;
    step.kind = StepKind::File;
    step.file = {FileDialogOutcome::Cancelled, {}, {}};
    steps_.push_back(std::move(step));
}

void ScriptedHost::FailFile(std::string error)
{
    Step step;
    step.kind = StepKind::File;
    step.file = {FileDialogOutcome::Failed, {}, std::move(error)};
    steps_.push_back(std::move(step));
}

void ScriptedHost::OnForm(std::string formName, std::function<void(Form&)> script)
{
    Step step;
    step.kind = StepKind::Form;
    step.formName = std::move(formName);
    step.script = std::move(script);
    steps_.push_back(std::move(step));
}

std::vector<std::string> ScriptedHost::MessageTexts() const
{
    std::vector<std::string> texts;
    for (const auto& m : messages_) texts.push_back(m.text);
    return texts;
}

ScriptedHost::Step ScriptedHost::Take(StepKind kind, const std::string& shown)
{
    if (steps_.empty()) Fail(shown + " was shown, but no answer is queued for it");
    const Step& next = steps_.front();
    if (next.kind != kind) {
        static const char* const kinds[] = {"a message box", "an input box", "a file dialog", "a form"};
        std::string expected = kinds[static_cast<int>(next.kind)];
        if (next.kind == StepKind::Form) expected += " (" + next.formName + ")";
        Fail(shown + " was shown, but the next queued answer is for " + expected);
    }
    Step step = std::move(steps_.front());
    steps_.pop_front();
    return step;
}

MsgAnswer ScriptedHost::ShowMessage(const MessageBoxRequest& request)
{
    messages_.push_back(request);
    if (request.buttons == MsgButtons::OK) return MsgAnswer::OK;
    if (pressOn_ && steps_.empty()) return ButtonsOf(request.buttons).front();
    const Step step = Take(StepKind::Message, Describe(request));
    const auto buttons = ButtonsOf(request.buttons);
    if (std::find(buttons.begin(), buttons.end(), step.answer) == buttons.end())
        Fail("the queued answer " + AnswerName(step.answer) + " is not a button of "
             + Describe(request) + " (" + ButtonList(request.buttons) + ")");
    return step.answer;
}

std::optional<std::string> ScriptedHost::ShowInputBox(const InputBoxRequest& request)
{
    inputBoxes_.push_back(request);
    return Take(StepKind::Input, "input box \"" + Printable(request.prompt) + "\"").input;
}

FileDialogResult ScriptedHost::ShowFileDialog(const FileDialogRequest& request)
{
    fileDialogs_.push_back(request);
    const char* kind = request.kind == FileDialogKind::Open ? "open" : "save";
    return Take(StepKind::File, std::string(kind) + " dialog \"" + request.title + "\"").file;
}

void ScriptedHost::ShowModal(Form& form)
{
    formsShown_.push_back({form.Name(), form.Caption()});
    Step step = Take(StepKind::Form, "form " + form.Name());
    if (step.formName != form.Name())
        Fail("form " + form.Name() + " was shown, but the script expected form " + step.formName);
    Watch(form);
    try {
        step.script(form);
    } catch (...) {
        Unwatch(form);
        throw;
    }
    if (form.Loaded()) {
        Unwatch(form);
        Fail("form " + form.Name() + " is still open after its script; close it as the technician would");
    }
}

void ScriptedHost::DoEvents()
{
    ++doEventsCount_;
    const auto it = doEventsActions_.find(doEventsCount_);
    if (it == doEventsActions_.end()) return;
    const auto action = std::move(it->second);
    doEventsActions_.erase(it);
    action();
}

void ScriptedHost::AtDoEvents(int call, std::function<void()> action)
{
    doEventsActions_[call] = std::move(action);
}

void ScriptedHost::Track(Form& form) { Watch(form); }

void ScriptedHost::Watch(Form& form)
{
    if (std::find(watched_.begin(), watched_.end(), &form) != watched_.end()) return;
    watched_.push_back(&form);
    form.SetObserver(this);
    for (Control* control : form.Controls())
        if (control->Kind() == ControlKind::Timer) Schedule(static_cast<Timer&>(*control), form);
}

void ScriptedHost::Unwatch(Form& form)
{
    std::erase(watched_, &form);
    std::erase_if(timers_, [&form](const DueTimer& t) { return t.form == &form; });
    if (form.Observer() == this) form.SetObserver(nullptr);
}

void ScriptedHost::Schedule(Timer& timer, Form& form)
{
    std::erase_if(timers_, [&timer](const DueTimer& t) { return t.timer == &timer; });
    if (timer.Enabled() && timer.Interval() > 0) timers_.push_back({&timer, &form, now_ + timer.Interval()});
}

void ScriptedHost::ControlChanged(Control& control)
{
    if (control.Kind() == ControlKind::Timer) Schedule(static_cast<Timer&>(control), control.Owner());
}

void ScriptedHost::FormClosed(Form& form) { Unwatch(form); }

void ScriptedHost::OnClockAdvance(std::function<void(double)> advance)
{
    clockAdvance_ = std::move(advance);
}

void ScriptedHost::MoveClockTo(long long milliseconds)
{
    if (milliseconds <= now_) return;
    if (clockAdvance_) clockAdvance_(static_cast<double>(milliseconds - now_) / 1000.0);
    now_ = milliseconds;
}

void ScriptedHost::AdvanceTimers(int milliseconds)
{
    const long long target = now_ + std::max(milliseconds, 0);
    while (true) {
        // The earliest due timer; among equals, the one scheduled first.
        const auto next = std::min_element(timers_.begin(), timers_.end(),
            [](const DueTimer& a, const DueTimer& b) { return a.due < b.due; });
        if (next == timers_.end() || next->due > target) break;
        Timer& timer = *next->timer;
        const long long due = next->due;
        MoveClockTo(due);
        // The clock hook may have let socket data arrive, whose handlers can stop or restart the
        // timer or close its form: tick only a timer still due now.
        const auto still = std::find_if(timers_.begin(), timers_.end(),
            [&](const DueTimer& t) { return t.timer == &timer && t.due == due; });
        if (still == timers_.end()) continue;
        // A timer stopped or set to 0 behind the host's back (another window had the form) would
        // come due again at once, for ever: it leaves the schedule until it is started again.
        if (!timer.Running()) {
            timers_.erase(still);
            continue;
        }
        // Counted from this tick unless the handler restarts or stops the timer.
        still->due = now_ + timer.Interval();
        std::rotate(still, still + 1, timers_.end());
        timer.Tick();
    }
    MoveClockTo(target);
}

bool ScriptedHost::SavePlotPicture(const Plot&, const std::string& path)
{
    if (failPictures) return false;
    plotPictures_.push_back(path);
    return true;
}

} // namespace zem::ui
