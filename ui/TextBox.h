#pragma once

#include "ui/Control.h"

namespace zem::ui {

// An editable text, kept as the instrument and the profile files keep texts: one byte a
// character (Windows-1252). Change is raised on every change of Text, whoever made it.
class TextBox final : public Control {
public:
    TextBox(Form& owner, std::string name, Frame* container = nullptr, int index = -1);

    const std::string& Text() const { return text_; }
    void SetText(std::string text);
    // The most characters the technician can type; 0 for no limit. Code may store more.
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int maxLength);
    // Read-only for the technician.
    bool Locked() const { return locked_; }
    void SetLocked(bool locked);
    // Shows every character as this one (0: shown as typed).
    char PasswordChar() const { return passwordChar_; }
    void SetPasswordChar(char c);
    bool MultiLine() const { return multiLine_; }
    void SetMultiLine(bool multiLine);
    // The whole text is selected when the box gets the focus.
    bool SelectOnFocus() const { return selectOnFocus_; }
    void SetSelectOnFocus(bool select);

    Event<> Change;

    // The technician replaces the text with `text`, cut to MaxLength characters.
    bool UserType(std::string text);

private:
    std::string text_;
    int maxLength_ = 0;
    bool locked_ = false;
    char passwordChar_ = 0;
    bool multiLine_ = false;
    bool selectOnFocus_ = false;
};

} // namespace zem::ui
