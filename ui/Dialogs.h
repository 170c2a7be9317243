#pragma once

#include "ui/Question.h"

#include <optional>
#include <string>
#include <vector>

namespace zem::ui {

enum class MsgButtons { OK, OKCancel, YesNo, YesNoCancel, RetryCancel };
enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgAnswer { OK, Cancel, Yes, No, Retry };

// The buttons of a message box, left to right.
std::vector<MsgAnswer> ButtonsOf(MsgButtons buttons);
// "Yes", "No", ... for reports and test failures.
std::string AnswerName(MsgAnswer answer);

// A message box as the technician sees it.
struct MessageBoxRequest {
    std::string text;  // lines separated by CR LF
    std::string title;
    MsgButtons buttons = MsgButtons::OK;
    MsgIcon icon = MsgIcon::None;
    MsgAnswer defaultButton = MsgAnswer::OK;  // always one of the buttons
    Question question = Question::None;
    std::string details = {};  // lines too many for one screen: shown in a part that scrolls
};

struct InputBoxRequest {
    std::string prompt;
    std::string title;
    std::string defaultText;
};

enum class FileDialogKind { Open, Save };

// A common file dialog. The filter is written "description|pattern|description|pattern", the
// default extension without its dot; one file is chosen at a time.
struct FileDialogRequest {
    FileDialogKind kind = FileDialogKind::Open;
    std::string title;
    std::string filter;
    std::string defaultExtension;
    std::string initialFolder;
    std::string fileName;
    bool fileMustExist = false;    // Open: only an existing file can be chosen
    bool overwritePrompt = false;  // Save: choosing an existing file asks first
};

enum class FileDialogOutcome { Chosen, Cancelled, Failed };

struct FileDialogResult {
    FileDialogOutcome outcome = FileDialogOutcome::Cancelled;
    std::string path;   // when Chosen
    std::string error;  // when Failed: what went wrong, for the message box
};

} // namespace zem::ui
