#pragma once

#include "ui/Control.h"

namespace zem::ui {

// The few pictures the windows show; the renderer draws each in its own way.
enum class Picture {
    None,
    Hourglass,     // a search or transfer is running
    Warning,       // the selected input cannot be used
    IndicatorOn,   // an input or output that is on
    IndicatorOff,  // an input or output that is off
};

class Image final : public Control {
public:
    Image(Form& owner, std::string name, Frame* container = nullptr, int index = -1);

    Picture GetPicture() const { return picture_; }
    void SetPicture(Picture picture);

private:
    Picture picture_ = Picture::None;
};

} // namespace zem::ui
