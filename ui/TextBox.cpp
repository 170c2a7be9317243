#include "ui/TextBox.h"

#include <cstddef>

namespace zem::ui {

TextBox::TextBox(Form& owner, std::string name, Frame* container, int index)
    : Control(owner, ControlKind::TextBox, std::move(name), container, index)
{
}

void TextBox::SetText(std::string text)
{
    if (Assign(text_, std::move(text))) Raise(Change);
}

void TextBox::SetMaxLength(int maxLength) { Assign(maxLength_, maxLength < 0 ? 0 : maxLength); }
void TextBox::SetLocked(bool locked) { Assign(locked_, locked); }
void TextBox::SetPasswordChar(char c) { Assign(passwordChar_, c); }
void TextBox::SetMultiLine(bool multiLine) { Assign(multiLine_, multiLine); }
void TextBox::SetSelectOnFocus(bool select) { Assign(selectOnFocus_, select); }

bool TextBox::UserType(std::string text)
{
    if (!Usable() || locked_) return false;
    if (maxLength_ > 0 && text.size() > static_cast<std::size_t>(maxLength_)) text.resize(static_cast<std::size_t>(maxLength_));
    SetText(std::move(text));
    return true;
}

} // namespace zem::ui
