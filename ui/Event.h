#pragma once

#include <functional>
#include <utility>

namespace zem::ui {

class Control;
class UserControl;

// One event of a control (Click, Change, ...). A form wires it once to its `<control>_<event>`
// handler; only the control (or the panel owning it) raises it, so a handler always runs inside
// the form's dispatch.
template <class... Args>
class Event {
public:
    using Handler = std::function<void(Args...)>;

    void Connect(Handler handler) { handler_ = std::move(handler); }
    bool Connected() const { return static_cast<bool>(handler_); }

private:
    friend class Control;
    friend class UserControl;
    void Invoke(Args... args) const
    {
        if (handler_) handler_(args...);
    }

    Handler handler_;
};

} // namespace zem::ui
