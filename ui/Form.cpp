#include "ui/Form.h"

#include "ui/Control.h"
#include "ui/FormObserver.h"
#include "ui/Host.h"

#include <algorithm>

namespace zem::ui {

namespace {

template <class F>
class OnExit {
public:
    explicit OnExit(F f) : f_(f) {}
    ~OnExit() { f_(); }
    OnExit(const OnExit&) = delete;
    OnExit& operator=(const OnExit&) = delete;

private:
    F f_;
};

} // namespace

Form::Form(Host& host, std::string name, std::string caption)
    : host_(host), name_(std::move(name)), caption_(std::move(caption))
{
}

Form::~Form()
{
    if (observer_ != nullptr) observer_->FormClosed(*this);
}

void Form::SetCaption(std::string caption)
{
    if (caption_ == caption) return;
    caption_ = std::move(caption);
    FormChanged();
}

void Form::SetSize(int width, int height)
{
    if (width_ == width && height_ == height) return;
    width_ = width;
    height_ = height;
    FormChanged();
}

void Form::CentreOnScreen()
{
    centred_ = true;
    FormChanged();
}

Control* Form::Find(std::string_view key) const
{
    const auto it = std::find_if(controls_.begin(), controls_.end(),
                                 [key](const Control* c) { return c->Key() == key; });
    return it == controls_.end() ? nullptr : *it;
}

void Form::Register(Control& control)
{
    if (Find(control.Key()) != nullptr)
        throw std::logic_error("form " + name_ + " already has a control " + control.Key());
    controls_.push_back(&control);
}

void Form::ControlChanged(Control& control)
{
    if (observer_ != nullptr) observer_->ControlChanged(control);
}

void Form::FormChanged()
{
    if (observer_ != nullptr) observer_->FormChanged(*this);
}

void Form::LoadWindow()
{
    if (loaded_) return;
    loaded_ = true;
    EnterDispatch();
    const OnExit leave([this] { LeaveDispatch(); });
    Form_Load();
}

bool Form::ShowModal()
{
    if (modal_) return false;  // already on screen: a window is shown modally only once at a time
    result_ = false;
    LoadWindow();
    if (!Loaded()) return result_;
    modal_ = true;
    const OnExit reset([this] { modal_ = false; });
    host_.ShowModal(*this);
    return result_;
}

bool Form::Unload() { return Close(UnloadMode::Code); }
bool Form::RequestClose() { return Close(UnloadMode::ControlMenu); }

bool Form::Close(UnloadMode mode)
{
    if (!loaded_ || unloading_) return true;
    EnterDispatch();
    const OnExit leave([this] { LeaveDispatch(); });
    if (!Form_QueryUnload(mode)) return false;
    unloading_ = true;
    Form_Unload();
    return true;
}

void Form::LeaveDispatch()
{
    if (--dispatchDepth_ > 0 || !unloading_) return;
    loaded_ = false;
    unloading_ = false;
    if (observer_ != nullptr) observer_->FormClosed(*this);
}

} // namespace zem::ui
