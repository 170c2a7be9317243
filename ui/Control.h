#pragma once

#include "ui/Event.h"

#include <string>
#include <utility>

namespace zem::ui {

class Form;
class Frame;

enum class ControlKind {
    Label,
    TextBox,
    RichTextBox,
    CommandButton,
    CheckBox,
    OptionButton,
    ComboBox,
    ListBox,
    ListView,
    TabStrip,
    ProgressBar,
    Frame,
    Image,
    Menu,
    Timer,
    Plot,
};

// A named control of a form. Positions and sizes are in twips (1/1440 inch, 15 to a screen pixel)
// relative to the container, as the forms were laid out; a size of 0 lets the renderer choose.
//
// Properties set before the form is loaded are design-time values and raise no event. Once the
// form is loaded, a property set by code raises the control's Click or Change event when the
// value changes, as the original controls did. What the technician does goes through the
// `User...` operations: they do nothing (and answer false) when the control cannot be reached.
class Control {
public:
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    ControlKind Kind() const { return kind_; }
    const std::string& Name() const { return name_; }
    // Position in a control array such as txtNomeMisura(0..5); -1 outside an array.
    int Index() const { return index_; }
    // "cmdOK", or "cmdSetup(2)" for an element of a control array.
    std::string Key() const;
    Form& Owner() const { return owner_; }
    Frame* Container() const { return container_; }

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    const std::string& ToolTipText() const { return toolTip_; }
    void SetToolTipText(std::string text);

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void Move(int left, int top, int width, int height);

    // Whether the technician can reach the control now: enabled and visible, inside enabled and
    // visible containers, on a form that is loaded and not closing.
    virtual bool Usable() const;

protected:
    Control(Form& owner, ControlKind kind, std::string name, Frame* container, int index);

    // Tells the form's observer that a property changed.
    void Changed();
    // Sets a property; true (and the observer told) when the value differs.
    template <class T, class U>
    bool Assign(T& field, U&& value)
    {
        if (field == value) return false;
        field = std::forward<U>(value);
        Changed();
        return true;
    }
    // Runs the event's handler inside the form's dispatch. Nothing runs before the form is loaded.
    template <class... A, class... B>
    void Raise(const Event<A...>& event, B&&... args);
    bool FormLoaded() const;

private:
    void EnterDispatch() const;
    void LeaveDispatch() const;

    Form& owner_;
    ControlKind kind_;
    std::string name_;
    int index_;
    Frame* container_;
    bool enabled_ = true;
    bool visible_ = true;
    std::string toolTip_;
    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
};

template <class... A, class... B>
void Control::Raise(const Event<A...>& event, B&&... args)
{
    if (!FormLoaded()) return;
    struct Scope {
        const Control& control;
        explicit Scope(const Control& c) : control(c) { control.EnterDispatch(); }
        ~Scope() { control.LeaveDispatch(); }
    } scope(*this);
    event.Invoke(std::forward<B>(args)...);
}

} // namespace zem::ui
