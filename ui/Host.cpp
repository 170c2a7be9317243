#include "ui/Host.h"

#include <algorithm>

namespace zem::ui {

Host::Host(std::string applicationTitle) : applicationTitle_(std::move(applicationTitle)) {}

MsgAnswer Host::MsgBox(std::string text, MsgButtons buttons, MsgIcon icon,
                       std::optional<MsgAnswer> defaultButton)
{
    return Ask(Question::None, std::move(text), buttons, icon, defaultButton);
}

MsgAnswer Host::Ask(Question question, std::string text, MsgButtons buttons, MsgIcon icon,
                    std::optional<MsgAnswer> defaultButton)
{
    const auto available = ButtonsOf(buttons);
    MessageBoxRequest request{std::move(text), applicationTitle_, buttons, icon, available.front(), question};
    if (defaultButton
        && std::find(available.begin(), available.end(), *defaultButton) != available.end())
        request.defaultButton = *defaultButton;
    return ShowMessage(request);
}

MsgAnswer Host::MsgBoxWithDetails(std::string text, std::string details, MsgIcon icon)
{
    return ShowMessage({std::move(text), applicationTitle_, MsgButtons::OK, icon, MsgAnswer::OK, Question::None, std::move(details)});
}

std::optional<std::string> Host::InputBox(std::string prompt, std::string defaultText)
{
    return ShowInputBox({std::move(prompt), applicationTitle_, std::move(defaultText)});
}

std::optional<std::string> Host::ChooseFile(const FileDialogRequest& request)
{
    const FileDialogResult chosen = ShowFileDialog(request);
    if (chosen.outcome == FileDialogOutcome::Failed) MsgBox(chosen.error, MsgButtons::OK, MsgIcon::Exclamation);
    if (chosen.outcome != FileDialogOutcome::Chosen || chosen.path.empty()) return std::nullopt;
    return chosen.path;
}

bool Host::SavePlotPicture(const Plot&, const std::string&) { return false; }

} // namespace zem::ui
