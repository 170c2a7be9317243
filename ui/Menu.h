#pragma once

#include "ui/Control.h"

#include <vector>

namespace zem::ui {

// A menu or menu item. Items without a parent make up the form's menu bar; a caption of "-"
// makes a separator. An item can be clicked only when it and every menu above it is enabled and
// visible.
class Menu final : public Control {
public:
    Menu(Form& owner, std::string name, std::string caption, Menu* parent = nullptr, int index = -1);

    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    bool IsSeparator() const { return caption_ == "-"; }
    // The key that chooses the item from anywhere in the window, "Ctrl+S"; empty for none.
    const std::string& Shortcut() const { return shortcut_; }
    void SetShortcut(std::string keys) { Assign(shortcut_, std::move(keys)); }
    Menu* Parent() const { return parent_; }
    const std::vector<Menu*>& Items() const { return items_; }

    bool Usable() const override;

    Event<> Click;

    bool UserClick();

private:
    std::string caption_;
    bool checked_ = false;
    std::string shortcut_;
    Menu* parent_;
    std::vector<Menu*> items_;
};

} // namespace zem::ui
