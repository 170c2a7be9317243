#include "ui/CheckBox.h"

namespace zem::ui {

CheckBox::CheckBox(Form& owner, std::string name, Frame* container, int index)
    : Control(owner, ControlKind::CheckBox, std::move(name), container, index)
{
}

void CheckBox::SetCaption(std::string caption) { Assign(caption_, std::move(caption)); }

void CheckBox::SetChecked(bool checked)
{
    if (Assign(checked_, checked)) Raise(Click);
}

bool CheckBox::UserClick()
{
    if (!Usable()) return false;
    SetChecked(!checked_);
    return true;
}

} // namespace zem::ui
