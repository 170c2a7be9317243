#include "ui/Label.h"

namespace zem::ui {

Label::Label(Form& owner, std::string name, Frame* container, int index)
    : Control(owner, ControlKind::Label, std::move(name), container, index)
{
}

void Label::SetCaption(std::string caption) { Assign(caption_, std::move(caption)); }

} // namespace zem::ui
