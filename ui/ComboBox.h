#pragma once

#include "ui/ListControl.h"

namespace zem::ui {

// A drop-down list: the technician picks one of its entries.
class ComboBox final : public ListControl {
public:
    ComboBox(Form& owner, std::string name, Frame* container = nullptr, int index = -1);
};

} // namespace zem::ui
