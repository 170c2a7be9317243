#include "ui/ListView.h"

#include <algorithm>

namespace zem::ui {

ListView::ListView(Form& owner, std::string name, Frame* container, int index)
    : Control(owner, ControlKind::ListView, std::move(name), container, index)
{
}

void ListView::AddColumn(std::string text, std::string key, int width)
{
    columns_.push_back({std::move(text), std::move(key), width});
    Changed();
}

void ListView::ClearColumns()
{
    if (columns_.empty()) return;
    columns_.clear();
    for (auto& cells : items_) cells.resize(1);
    Changed();
}

std::optional<int> ListView::ColumnIndex(std::string_view key) const
{
    const auto it = std::find_if(columns_.begin(), columns_.end(),
                                 [key](const ListViewColumn& c) { return c.key == key; });
    if (it == columns_.end()) return std::nullopt;
    return static_cast<int>(it - columns_.begin());
}

int ListView::AddItem(std::string text)
{
    items_.push_back({std::move(text)});
    Changed();
    return ItemCount() - 1;
}

bool ListView::RemoveItem(int item)
{
    if (!ItemInRange(item)) return false;
    items_.erase(items_.begin() + item);
    if (selected_ == item) {
        selected_ = -1;
    } else if (selected_ > item) {
        --selected_;
    }
    Changed();
    return true;
}

void ListView::ClearItems()
{
    if (items_.empty()) return;
    items_.clear();
    selected_ = -1;
    Changed();
}

std::string ListView::ItemText(int item, int column) const
{
    if (!ItemInRange(item) || column < 0) return {};
    const auto& cells = items_[static_cast<std::size_t>(item)];
    return static_cast<std::size_t>(column) < cells.size() ? cells[static_cast<std::size_t>(column)]
                                                           : std::string();
}

bool ListView::SetItemText(int item, int column, std::string text)
{
    // Column 0 exists even before any column header was added.
    if (!ItemInRange(item) || column < 0 || (column > 0 && column >= ColumnCount())) return false;
    auto& cells = items_[static_cast<std::size_t>(item)];
    if (cells.size() <= static_cast<std::size_t>(column)) cells.resize(static_cast<std::size_t>(column) + 1);
    Assign(cells[static_cast<std::size_t>(column)], std::move(text));
    return true;
}

std::string ListView::Cell(int item, std::string_view columnKey) const
{
    const auto column = ColumnIndex(columnKey);
    return column ? ItemText(item, *column) : std::string();
}

bool ListView::SetCell(int item, std::string_view columnKey, std::string text)
{
    const auto column = ColumnIndex(columnKey);
    return column && SetItemText(item, *column, std::move(text));
}

bool ListView::SetSelectedIndex(int item)
{
    if (item != -1 && !ItemInRange(item)) return false;
    Assign(selected_, item);
    return true;
}

void ListView::SetFullRowSelect(bool fullRow) { Assign(fullRowSelect_, fullRow); }

void ListView::SetColumnsFitText(bool fit) { Assign(columnsFitText_, fit); }

bool ListView::UserClickItem(int item)
{
    if (!Usable() || !ItemInRange(item)) return false;
    Assign(selected_, item);
    Raise(ItemClick, item);
    return true;
}

bool ListView::UserDoubleClick()
{
    if (!Usable()) return false;
    Raise(DblClick);
    return true;
}

} // namespace zem::ui
