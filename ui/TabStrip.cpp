#include "ui/TabStrip.h"

namespace zem::ui {

TabStrip::TabStrip(Form& owner, std::string name, Frame* container, int index)
    : Control(owner, ControlKind::TabStrip, std::move(name), container, index)
{
}

void TabStrip::AddTab(std::string caption, std::string toolTip)
{
    tabs_.push_back({std::move(caption), std::move(toolTip)});
    if (selected_ < 0) selected_ = 0;
    Changed();
}

void TabStrip::ClearTabs()
{
    if (tabs_.empty()) return;
    tabs_.clear();
    selected_ = -1;
    Changed();
}

std::string TabStrip::TabCaption(int tab) const
{
    return InRange(tab) ? tabs_[static_cast<std::size_t>(tab)].caption : std::string();
}

bool TabStrip::SetTabCaption(int tab, std::string caption)
{
    if (!InRange(tab)) return false;
    Assign(tabs_[static_cast<std::size_t>(tab)].caption, std::move(caption));
    return true;
}

std::string TabStrip::TabToolTip(int tab) const
{
    return InRange(tab) ? tabs_[static_cast<std::size_t>(tab)].toolTip : std::string();
}

bool TabStrip::SetSelectedIndex(int tab)
{
    if (!InRange(tab)) return false;
    if (Assign(selected_, tab)) Raise(Click);
    return true;
}

bool TabStrip::UserClickTab(int tab)
{
    if (!Usable() || !InRange(tab)) return false;
    return SetSelectedIndex(tab);
}

} // namespace zem::ui
