#include "ui/Image.h"

namespace zem::ui {

Image::Image(Form& owner, std::string name, Frame* container, int index)
    : Control(owner, ControlKind::Image, std::move(name), container, index)
{
}

void Image::SetPicture(Picture picture) { Assign(picture_, picture); }

} // namespace zem::ui
