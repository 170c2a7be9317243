#pragma once

#include "ui/Control.h"

namespace zem::ui {

// A tick box. Click is raised whenever the tick changes, by code or by the technician.
class CheckBox final : public Control {
public:
    CheckBox(Form& owner, std::string name, Frame* container = nullptr, int index = -1);

    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);

    Event<> Click;

    // The technician toggles the tick.
    bool UserClick();

private:
    std::string caption_;
    bool checked_ = false;
};

} // namespace zem::ui
