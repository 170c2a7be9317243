#pragma once

#include "ui/Control.h"

namespace zem::ui {

// Static text. An "&" marks the access key that moves the focus to the next control; lines are
// separated by CR LF.
class Label final : public Control {
public:
    Label(Form& owner, std::string name, Frame* container = nullptr, int index = -1);

    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);

private:
    std::string caption_;
};

} // namespace zem::ui
