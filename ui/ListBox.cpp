#include "ui/ListBox.h"

namespace zem::ui {

ListBox::ListBox(Form& owner, std::string name, Frame* container, int index)
    : ListControl(owner, ControlKind::ListBox, std::move(name), container, index)
{
}

} // namespace zem::ui
