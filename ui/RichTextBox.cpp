#include "ui/RichTextBox.h"

namespace zem::ui {

RichTextBox::RichTextBox(Form& owner, std::string name, Frame* container, int index)
    : Control(owner, ControlKind::RichTextBox, std::move(name), container, index)
{
}

void RichTextBox::SetText(std::string text)
{
    if (Assign(text_, std::move(text))) Raise(Change);
}

void RichTextBox::SetFontName(std::string fontName) { Assign(fontName_, std::move(fontName)); }
void RichTextBox::SetLocked(bool locked) { Assign(locked_, locked); }

bool RichTextBox::UserType(std::string text)
{
    if (!Usable() || locked_) return false;
    SetText(std::move(text));
    return true;
}

} // namespace zem::ui
