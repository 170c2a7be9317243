#pragma once

#include "ui/Control.h"

namespace zem::ui {

// One choice of a group: the option buttons of a form that share a container. Selecting one
// clears the others of its group.
class OptionButton final : public Control {
public:
    OptionButton(Form& owner, std::string name, Frame* container = nullptr, int index = -1);

    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);
    bool Value() const { return value_; }
    // Selecting raises Click; clearing (by code, or by selecting another of the group) does not.
    void SetValue(bool value);

    Event<> Click;

    // The technician selects this option; Click is raised even when it was selected already.
    bool UserClick();

private:
    void ClearGroup();

    std::string caption_;
    bool value_ = false;
};

} // namespace zem::ui
