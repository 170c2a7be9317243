#pragma once

#include "ui/ListControl.h"

namespace zem::ui {

// A list with its entries always in view; one entry at a time is selected.
class ListBox final : public ListControl {
public:
    ListBox(Form& owner, std::string name, Frame* container = nullptr, int index = -1);
};

} // namespace zem::ui
