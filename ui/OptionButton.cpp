#include "ui/OptionButton.h"

#include "ui/Form.h"

namespace zem::ui {

OptionButton::OptionButton(Form& owner, std::string name, Frame* container, int index)
    : Control(owner, ControlKind::OptionButton, std::move(name), container, index)
{
}

void OptionButton::SetCaption(std::string caption) { Assign(caption_, std::move(caption)); }

void OptionButton::SetValue(bool value)
{
    if (!Assign(value_, value) || !value) return;
    ClearGroup();
    Raise(Click);
}

bool OptionButton::UserClick()
{
    if (!Usable()) return false;
    if (value_) {
        Raise(Click);
    } else {
        SetValue(true);
    }
    return true;
}

void OptionButton::ClearGroup()
{
    for (Control* control : Owner().Controls()) {
        if (control == this || control->Kind() != ControlKind::OptionButton) continue;
        if (control->Container() != Container()) continue;
        auto* other = static_cast<OptionButton*>(control);
        other->Assign(other->value_, false);
    }
}

} // namespace zem::ui
