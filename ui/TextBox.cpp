#include "ui/TextBox.h"

#include <cstddef>

namespace zem::ui {

namespace {

// Byte length of the first `count` UTF-8 characters of `text`.
std::size_t Utf8Prefix(const std::string& text, int count)
{
    std::size_t i = 0;
    for (int n = 0; n < count && i < text.size(); ++n) {
        ++i;
        while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
    }
    return i;
}

} // namespace

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
    if (maxLength_ > 0) text.resize(Utf8Prefix(text, maxLength_));
    SetText(std::move(text));
    return true;
}

} // namespace zem::ui
