#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zem::ui {

class Control;
class FormObserver;
class Host;

// Why a form is being closed, as its Form_QueryUnload is told.
enum class UnloadMode {
    ControlMenu,  // the technician closed the window
    Code,         // the program unloaded it
};

// A window: a named set of controls with a caption. Derived forms declare their controls as
// members (declaration order is the tab order), wire the controls' events to their
// `<control>_<event>` handlers in the constructor and override Form_Load / Form_QueryUnload /
// Form_Unload.
//
// Unloading runs Form_QueryUnload (which may refuse) and Form_Unload at once; when it is asked
// from inside one of the form's own handlers, the form finishes closing only once that handler
// has returned, so nothing is torn down under a running workflow.
class Form {
public:
    Form(Host& host, std::string name, std::string caption);
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    virtual ~Form();

    const std::string& Name() const { return name_; }
    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);
    // Client size in twips.
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetSize(int width, int height);
    bool Centred() const { return centred_; }
    void CentreOnScreen();
    // The technician may make the window larger than its design size: its lists and plots grow
    // with it, and what lies below or right of them moves along.
    bool Sizable() const { return sizable_; }
    void SetSizable(bool sizable) { sizable_ = sizable; }

    Host& GetHost() const { return host_; }

    // Every control, in declaration order.
    const std::vector<Control*>& Controls() const { return controls_; }
    Control* Find(std::string_view key) const;
    // The control with this key and kind; throws std::out_of_range when there is none.
    template <class T>
    T& Get(std::string_view key) const;

    // Loads the window without showing it (runs Form_Load once).
    void LoadWindow();
    // Loads the window and shows it modally; returns its result once it has been unloaded.
    bool ShowModal();
    // Unloads from code; false when Form_QueryUnload refused.
    bool Unload();
    // The technician closes the window; false when Form_QueryUnload refused.
    bool RequestClose();
    // Loaded and not closing.
    bool Loaded() const { return loaded_ && !unloading_; }
    // The outcome a modal form reports to whoever showed it; cleared by each ShowModal.
    bool Result() const { return result_; }
    // The technician dropped a file onto the window; false when the form does not take it.
    bool DropFile(const std::string& path) { return Loaded() && Form_OLEDragDrop(path); }

    void SetObserver(FormObserver* observer) { observer_ = observer; }
    FormObserver* Observer() const { return observer_; }

protected:
    virtual void Form_Load() {}
    // False keeps the window open.
    virtual bool Form_QueryUnload(UnloadMode /*mode*/) { return true; }
    virtual void Form_Unload() {}
    virtual bool Form_OLEDragDrop(const std::string& /*path*/) { return false; }
    void SetResult(bool result) { result_ = result; }

private:
    friend class Control;
    void Register(Control& control);
    void ControlChanged(Control& control);
    void FormChanged();
    bool Close(UnloadMode mode);
    void EnterDispatch() { ++dispatchDepth_; }
    void LeaveDispatch();
    bool RaisesEvents() const { return loaded_; }

    Host& host_;
    std::string name_;
    std::string caption_;
    int width_ = 4800;
    int height_ = 3600;
    bool centred_ = false;
    bool sizable_ = false;
    std::vector<Control*> controls_;
    FormObserver* observer_ = nullptr;
    bool loaded_ = false;
    bool unloading_ = false;
    bool modal_ = false;
    bool result_ = false;
    int dispatchDepth_ = 0;
};

template <class T>
T& Form::Get(std::string_view key) const
{
    if (auto* control = dynamic_cast<T*>(Find(key))) return *control;
    throw std::out_of_range("form " + name_ + " has no control " + std::string(key)
                            + " of the kind asked for");
}

} // namespace zem::ui
