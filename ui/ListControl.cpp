#include "ui/ListControl.h"

namespace zem::ui {

ListControl::ListControl(Form& owner, ControlKind kind, std::string name, Frame* container, int index)
    : Control(owner, kind, std::move(name), container, index)
{
}

std::string ListControl::List(int index) const
{
    return InRange(index) ? entries_[static_cast<std::size_t>(index)].text : std::string();
}

int ListControl::ItemData(int index) const
{
    return InRange(index) ? entries_[static_cast<std::size_t>(index)].data : 0;
}

bool ListControl::SetItemData(int index, int data)
{
    if (!InRange(index)) return false;
    entries_[static_cast<std::size_t>(index)].data = data;
    return true;
}

void ListControl::AddItem(std::string text) { AddItem(std::move(text), ListCount()); }

bool ListControl::AddItem(std::string text, int index)
{
    if (index < 0 || index > ListCount()) return false;
    entries_.insert(entries_.begin() + index, Entry{std::move(text)});
    if (listIndex_ >= index) ++listIndex_;
    Changed();
    return true;
}

bool ListControl::RemoveItem(int index)
{
    if (!InRange(index)) return false;
    entries_.erase(entries_.begin() + index);
    if (listIndex_ == index) {
        listIndex_ = -1;
    } else if (listIndex_ > index) {
        --listIndex_;
    }
    Changed();
    return true;
}

void ListControl::Clear()
{
    if (entries_.empty() && listIndex_ == -1) return;
    entries_.clear();
    listIndex_ = -1;
    Changed();
}

bool ListControl::SetListIndex(int index)
{
    if (index != -1 && !InRange(index)) return false;
    if (Assign(listIndex_, index)) Raise(Click);
    return true;
}

bool ListControl::UserChoose(int index)
{
    if (!Usable() || !InRange(index)) return false;
    Assign(listIndex_, index);
    Raise(Click);  // picking the selected entry again is a click too
    return true;
}

} // namespace zem::ui
