#include "ui/Menu.h"

#include "ui/Form.h"

namespace zem::ui {

Menu::Menu(Form& owner, std::string name, std::string caption, Menu* parent, int index)
    : Control(owner, ControlKind::Menu, std::move(name), nullptr, index),
      caption_(std::move(caption)),
      parent_(parent)
{
    if (parent_ != nullptr) parent_->items_.push_back(this);
}

void Menu::SetCaption(std::string caption) { Assign(caption_, std::move(caption)); }
void Menu::SetChecked(bool checked) { Assign(checked_, checked); }

bool Menu::Usable() const
{
    if (!Owner().Loaded() || !Enabled() || !Visible() || IsSeparator()) return false;
    return parent_ == nullptr || parent_->Usable();
}

bool Menu::UserClick()
{
    if (!Usable()) return false;
    Raise(Click);
    return true;
}

} // namespace zem::ui
