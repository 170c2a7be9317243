#pragma once

#include "ui/Control.h"

namespace zem::ui {

// An editable multi-line document text. Its characters are 8-bit (Windows-1252), as rich-text
// files keep them, lines end with CR LF; a renderer converts both ways without loss. Shown in
// `FontName`. Change is raised on every change of Text, whoever made it.
class RichTextBox final : public Control {
public:
    RichTextBox(Form& owner, std::string name, Frame* container = nullptr, int index = -1);

    const std::string& Text() const { return text_; }
    void SetText(std::string text);
    const std::string& FontName() const { return fontName_; }
    void SetFontName(std::string fontName);
    // Read-only for the technician.
    bool Locked() const { return locked_; }
    void SetLocked(bool locked);

    Event<> Change;

    // The technician replaces the text with `text`.
    bool UserType(std::string text);

private:
    std::string text_;
    std::string fontName_;
    bool locked_ = false;
};

} // namespace zem::ui
