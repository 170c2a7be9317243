#pragma once

#include "ui/Application.h"
#include "ui/FormObserver.h"
#include "ui/Host.h"

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zem::ui {

class Timer;

// A host without a screen, for the tests. The test queues what the technician will answer, in the
// order the questions will come: message box buttons, input box texts, file dialog outcomes and
// scripts that play the technician on a modal form. Everything shown is logged in order.
//
// A message box whose only button is OK is answered OK without a queued answer (and logged).
// Anything else shown without a matching answer at the front of the queue throws
// std::logic_error naming what was shown and what was expected, which fails the test.
class ScriptedHost final : public Host, private FormObserver {
public:
    struct ShownForm {
        std::string name;
        std::string caption;  // when it was shown
    };

    explicit ScriptedHost(std::string applicationTitle = kApplicationTitle);
    ~ScriptedHost() override;

    void Answer(MsgAnswer answer);
    void AnswerInput(std::optional<std::string> text);
    void ChooseFile(std::string path);
    void CancelFile();
    void FailFile(std::string error);
    // When the form named `formName` is shown modally, `script` acts on it; the script must leave
    // the form closed (through its buttons or RequestClose), as the technician would.
    void OnForm(std::string formName, std::function<void(Form&)> script);
    // From now on a message box with nothing queued is answered with its first button (Yes, or
    // OK), as a technician pressing on would: for runs where which questions come depends on
    // where a fault struck.
    void PressOn() { pressOn_ = true; }
    // Answers queued and not yet used.
    std::size_t PendingAnswers() const { return steps_.size(); }

    const std::vector<MessageBoxRequest>& Messages() const { return messages_; }
    std::vector<std::string> MessageTexts() const;
    const std::vector<InputBoxRequest>& InputBoxes() const { return inputBoxes_; }
    const std::vector<FileDialogRequest>& FileDialogs() const { return fileDialogs_; }
    const std::vector<ShownForm>& FormsShown() const { return formsShown_; }

    // Timers tick on the forms being shown modally and on the forms tracked here (a main window
    // that is never shown modally), until they unload.
    void Track(Form& form);
    // Lets `milliseconds` pass, ticking every due timer in time order; the clock hook, when set,
    // is moved forward before each tick so that the handlers read the right time. The hook may
    // also deliver what arrived meanwhile (socket data), as a desktop does between timer ticks.
    void AdvanceTimers(int milliseconds);
    void OnClockAdvance(std::function<void(double seconds)> advance);
    long long ElapsedMilliseconds() const { return now_; }

    int DoEventsCount() const { return doEventsCount_; }
    // Runs `action` inside the DoEvents call number `call` (from 1), as if the technician had
    // acted while the workflow pumped events.
    void AtDoEvents(int call, std::function<void()> action);
    bool Busy() const { return busy_; }

    FileDialogResult ShowFileDialog(const FileDialogRequest& request) override;
    void ShowModal(Form& form) override;
    void DoEvents() override;
    void SetBusy(bool busy) override { busy_ = busy; }
    // Records where the plot's picture would go (and says it went) unless `failPictures`.
    bool SavePlotPicture(const Plot& plot, const std::string& path) override;
    const std::vector<std::string>& PlotPictures() const { return plotPictures_; }
    bool failPictures = false;

protected:
    MsgAnswer ShowMessage(const MessageBoxRequest& request) override;
    std::optional<std::string> ShowInputBox(const InputBoxRequest& request) override;

private:
    enum class StepKind { Message, Input, File, Form };
    struct Step {
        StepKind kind = StepKind::Message;
        MsgAnswer answer = MsgAnswer::OK;
        std::optional<std::string> input;
        FileDialogResult file;
        std::string formName;
        std::function<void(Form&)> script;
    };
    struct DueTimer {
        Timer* timer;
        Form* form;
        long long due;
    };

    Step Take(StepKind kind, const std::string& shown);
    void Watch(Form& form);
    void Unwatch(Form& form);
    void Schedule(Timer& timer, Form& form);
    void MoveClockTo(long long milliseconds);

    void ControlChanged(Control& control) override;
    void FormChanged(Form&) override {}
    void FormClosed(Form& form) override;

    std::deque<Step> steps_;
    std::vector<MessageBoxRequest> messages_;
    std::vector<InputBoxRequest> inputBoxes_;
    std::vector<FileDialogRequest> fileDialogs_;
    std::vector<ShownForm> formsShown_;
    std::vector<Form*> watched_;
    std::vector<DueTimer> timers_;
    std::function<void(double)> clockAdvance_;
    long long now_ = 0;
    int doEventsCount_ = 0;
    std::map<int, std::function<void()>> doEventsActions_;
    bool busy_ = false;
    std::vector<std::string> plotPictures_;
    bool pressOn_ = false;
};

} // namespace zem::ui
