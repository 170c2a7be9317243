#pragma once

#include "ui/Event.h"

#include <string>
#include <string_view>
#include <utility>

namespace zem::ui {

class Form;

// A panel made of ordinary controls that a window places in one of its frames. Its controls are
// registered on the owner form under "<panel>.<control>" keys, so one window can hold several
// panels of the same kind, and the renderers show them like any other control. A panel raises
// its own events from inside its controls' handlers, so they run within the form's dispatch.
class UserControl {
public:
    UserControl(const UserControl&) = delete;
    UserControl& operator=(const UserControl&) = delete;

    Form& Owner() const { return owner_; }
    const std::string& Name() const { return name_; }

protected:
    UserControl(Form& owner, std::string name) : owner_(owner), name_(std::move(name)) {}
    ~UserControl() = default;

    // The owner-form name of one of the panel's controls.
    std::string Key(std::string_view control) const { return name_ + "." + std::string(control); }

    template <class... A, class... B>
    void Raise(const Event<A...>& event, B&&... args) const
    {
        event.Invoke(std::forward<B>(args)...);
    }

private:
    Form& owner_;
    std::string name_;
};

} // namespace zem::ui
