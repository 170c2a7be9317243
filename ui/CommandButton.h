#pragma once

#include "ui/Control.h"

namespace zem::ui {

// A push button. The Default button answers the Enter key, the Cancel button the Esc key.
class CommandButton final : public Control {
public:
    CommandButton(Form& owner, std::string name, Frame* container = nullptr, int index = -1);

    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);
    bool Default() const { return default_; }
    void SetDefault(bool isDefault);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool isCancel);

    Event<> Click;

    bool UserClick();

private:
    std::string caption_;
    bool default_ = false;
    bool cancel_ = false;
};

} // namespace zem::ui
