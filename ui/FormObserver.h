#pragma once

namespace zem::ui {

class Control;
class Form;

// Whoever presents a form (the Qt renderer, the scripted test host) hears about its changes here.
class FormObserver {
public:
    virtual ~FormObserver() = default;
    // A property of the control changed (by a handler, by code or by the technician).
    virtual void ControlChanged(Control& control) = 0;
    // The form's own caption, size or position changed.
    virtual void FormChanged(Form& form) = 0;
    // The form finished unloading, or is being destroyed: it reports nothing more, and its
    // controls must not be touched from here on.
    virtual void FormClosed(Form& form) = 0;
};

} // namespace zem::ui
