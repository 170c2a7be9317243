#pragma once

#include "ui/Control.h"

namespace zem::ui {

// A captioned box holding other controls; hiding or disabling it hides or disables its contents.
class Frame final : public Control {
public:
    Frame(Form& owner, std::string name, Frame* container = nullptr, int index = -1);

    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);

private:
    std::string caption_;
};

} // namespace zem::ui
