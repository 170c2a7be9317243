#include "ui/ComboBox.h"

namespace zem::ui {

ComboBox::ComboBox(Form& owner, std::string name, Frame* container, int index)
    : ListControl(owner, ControlKind::ComboBox, std::move(name), container, index)
{
}

} // namespace zem::ui
