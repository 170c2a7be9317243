#include "ui/Timer.h"

#include "ui/Form.h"

namespace zem::ui {

Timer::Timer(Form& owner, std::string name, int index)
    : Control(owner, ControlKind::Timer, std::move(name), nullptr, index)
{
}

void Timer::SetInterval(int milliseconds) { Assign(interval_, milliseconds < 0 ? 0 : milliseconds); }

bool Timer::Running() const { return Enabled() && interval_ > 0 && Owner().Loaded(); }

bool Timer::Tick()
{
    if (!Running()) return false;
    Raise(Elapsed);
    return true;
}

} // namespace zem::ui
