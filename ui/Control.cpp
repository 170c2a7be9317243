#include "ui/Control.h"

#include "ui/Form.h"
#include "ui/Frame.h"

namespace zem::ui {

Control::Control(Form& owner, ControlKind kind, std::string name, Frame* container, int index)
    : owner_(owner), kind_(kind), name_(std::move(name)), index_(index), container_(container)
{
    owner_.Register(*this);
}

std::string Control::Key() const
{
    if (index_ < 0) return name_;
    return name_ + "(" + std::to_string(index_) + ")";
}

void Control::SetEnabled(bool enabled) { Assign(enabled_, enabled); }
void Control::SetVisible(bool visible) { Assign(visible_, visible); }
void Control::SetToolTipText(std::string text) { Assign(toolTip_, std::move(text)); }

void Control::Move(int left, int top, int width, int height)
{
    if (left_ == left && top_ == top && width_ == width && height_ == height) return;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    Changed();
}

bool Control::Usable() const
{
    if (!owner_.Loaded() || !enabled_ || !visible_) return false;
    return container_ == nullptr || container_->Usable();
}

void Control::Changed() { owner_.ControlChanged(*this); }
bool Control::FormLoaded() const { return owner_.RaisesEvents(); }
void Control::EnterDispatch() const { owner_.EnterDispatch(); }
void Control::LeaveDispatch() const { owner_.LeaveDispatch(); }

} // namespace zem::ui
