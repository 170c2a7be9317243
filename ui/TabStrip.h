#pragma once

#include "ui/Control.h"

#include <vector>

namespace zem::ui {

// A row of tabs. The tabs hold no controls: the form shows the frame of the selected tab in its
// Click handler. Tabs are 0-based; the first tab added becomes the selected one.
class TabStrip final : public Control {
public:
    TabStrip(Form& owner, std::string name, Frame* container = nullptr, int index = -1);

    void AddTab(std::string caption, std::string toolTip = {});
    void ClearTabs();
    int TabCount() const { return static_cast<int>(tabs_.size()); }
    std::string TabCaption(int tab) const;
    bool SetTabCaption(int tab, std::string caption);
    std::string TabToolTip(int tab) const;

    int SelectedIndex() const { return selected_; }
    // Raises Click when the selection changes.
    bool SetSelectedIndex(int tab);

    Event<> Click;

    bool UserClickTab(int tab);

private:
    struct Tab {
        std::string caption;
        std::string toolTip;
    };
    bool InRange(int tab) const { return tab >= 0 && tab < TabCount(); }

    std::vector<Tab> tabs_;
    int selected_ = -1;
};

} // namespace zem::ui
