#include "ui/ProgressBar.h"

#include <algorithm>

namespace zem::ui {

ProgressBar::ProgressBar(Form& owner, std::string name, Frame* container, int index)
    : Control(owner, ControlKind::ProgressBar, std::move(name), container, index)
{
}

bool ProgressBar::SetMin(int min)
{
    if (min >= max_) return false;
    min_ = min;
    value_ = std::clamp(value_, min_, max_);
    Changed();
    return true;
}

bool ProgressBar::SetMax(int max)
{
    if (max <= min_) return false;
    max_ = max;
    value_ = std::clamp(value_, min_, max_);
    Changed();
    return true;
}

bool ProgressBar::SetValue(int value)
{
    if (value < min_ || value > max_) return false;
    Assign(value_, value);
    return true;
}

} // namespace zem::ui
