#pragma once

#include "ui/Dialogs.h"

#include <optional>
#include <string>

namespace zem::ui {

class Form;
class Plot;

// What the windows need from the desktop: message boxes, the input box, file dialogs, modal
// windows, event pumping and the busy pointer. The Qt front-end provides it for the technician;
// the scripted host provides it to the tests.
class Host {
public:
    explicit Host(std::string applicationTitle);
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;
    virtual ~Host() = default;

    // The caption of the main window, the title of every message box, and the application name
    // under which the settings are kept.
    const std::string& ApplicationTitle() const { return applicationTitle_; }

    // Shows a message box titled with the application title and answers the button pressed. A
    // default button that the box does not have falls back to its first button.
    MsgAnswer MsgBox(std::string text, MsgButtons buttons = MsgButtons::OK,
                     MsgIcon icon = MsgIcon::None,
                     std::optional<MsgAnswer> defaultButton = std::nullopt);
    // The same box for a question a workflow asks: `question` names it for a host that answers
    // without the technician; the text stays what the technician reads.
    MsgAnswer Ask(Question question, std::string text, MsgButtons buttons, MsgIcon icon = MsgIcon::Question,
                  std::optional<MsgAnswer> defaultButton = std::nullopt);
    // An OK box whose `details` may run longer than a screen: the text sums them up, and they
    // show in a part of the box that scrolls.
    MsgAnswer MsgBoxWithDetails(std::string text, std::string details, MsgIcon icon);
    // Asks for a line of text; nullopt when cancelled.
    std::optional<std::string> InputBox(std::string prompt, std::string defaultText = {});

    virtual FileDialogResult ShowFileDialog(const FileDialogRequest& request) = 0;
    // The file the technician chose; nothing when cancelled, or when the dialog failed, which a
    // message box then says.
    std::optional<std::string> ChooseFile(const FileDialogRequest& request);
    // Form::ShowModal's half: shows the loaded form modally and returns once it has unloaded.
    virtual void ShowModal(Form& form) = 0;
    // Lets pending window events run: clicks, timers, repaints.
    virtual void DoEvents() = 0;
    // The hourglass pointer while a long operation runs.
    virtual void SetBusy(bool busy) = 0;
    // Draws what changed now, running no handler: before a call that blocks, so the screen does
    // not keep a closed box or a busy label it was never given the chance to draw.
    virtual void Refresh() {}
    // Saves the plot as the screen draws it, as a PNG picture; false when it cannot (a host
    // without a screen draws nothing).
    virtual bool SavePlotPicture(const Plot& plot, const std::string& path);

protected:
    virtual MsgAnswer ShowMessage(const MessageBoxRequest& request) = 0;
    virtual std::optional<std::string> ShowInputBox(const InputBoxRequest& request) = 0;

private:
    std::string applicationTitle_;
};

} // namespace zem::ui
