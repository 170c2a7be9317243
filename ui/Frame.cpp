#include "ui/Frame.h"

namespace zem::ui {

Frame::Frame(Form& owner, std::string name, Frame* container, int index)
    : Control(owner, ControlKind::Frame, std::move(name), container, index)
{
}

void Frame::SetCaption(std::string caption) { Assign(caption_, std::move(caption)); }

} // namespace zem::ui
