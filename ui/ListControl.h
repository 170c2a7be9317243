#pragma once

#include "ui/Control.h"

#include <vector>

namespace zem::ui {

// The entries and selection shared by the drop-down list and the list box. Each entry carries a
// number (ItemData) beside its text. Positions are 0-based; -1 is no selection. A position out of
// range reads as an empty entry and is refused by the setters, which then change nothing.
class ListControl : public Control {
public:
    int ListCount() const { return static_cast<int>(entries_.size()); }
    std::string List(int index) const;
    int ItemData(int index) const;
    bool SetItemData(int index, int data);
    void AddItem(std::string text);
    // Inserts before `index` (ListCount() appends).
    bool AddItem(std::string text, int index);
    bool RemoveItem(int index);
    void Clear();

    int ListIndex() const { return listIndex_; }
    // Raises Click when the selection changes.
    bool SetListIndex(int index);
    // The selected entry's text, empty without a selection.
    std::string Text() const { return List(listIndex_); }

    Event<> Click;

    // The technician picks the entry at `index`; Click is raised even when it was selected.
    bool UserChoose(int index);

protected:
    ListControl(Form& owner, ControlKind kind, std::string name, Frame* container, int index);

private:
    struct Entry {
        std::string text;
        int data = 0;
    };
    bool InRange(int index) const { return index >= 0 && index < ListCount(); }

    std::vector<Entry> entries_;
    int listIndex_ = -1;
};

} // namespace zem::ui
