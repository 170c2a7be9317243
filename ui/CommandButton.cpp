#include "ui/CommandButton.h"

namespace zem::ui {

CommandButton::CommandButton(Form& owner, std::string name, Frame* container, int index)
    : Control(owner, ControlKind::CommandButton, std::move(name), container, index)
{
}

void CommandButton::SetCaption(std::string caption) { Assign(caption_, std::move(caption)); }
void CommandButton::SetDefault(bool isDefault) { Assign(default_, isDefault); }
void CommandButton::SetCancel(bool isCancel) { Assign(cancel_, isCancel); }

bool CommandButton::UserClick()
{
    if (!Usable()) return false;
    Raise(Click);
    return true;
}

} // namespace zem::ui
