#pragma once

#include "ui/Control.h"

namespace zem::ui {

// A bar showing Value between Min and Max. A value or range it cannot show is refused (false)
// and changes nothing; workflows that move the bar carry on regardless.
class ProgressBar final : public Control {
public:
    ProgressBar(Form& owner, std::string name, Frame* container = nullptr, int index = -1);

    int Min() const { return min_; }
    int Max() const { return max_; }
    int Value() const { return value_; }
    // Min must stay below Max; a value left outside the new range is brought back into it.
    bool SetMin(int min);
    bool SetMax(int max);
    bool SetValue(int value);

private:
    int min_ = 0;
    int max_ = 100;
    int value_ = 0;
};

} // namespace zem::ui
