#pragma once

#include "ui/Control.h"

#include <optional>
#include <string_view>
#include <vector>

namespace zem::ui {

struct ListViewColumn {
    std::string text;
    std::string key;
    int width = 0;  // twips
};

// A report list: columns with a header, rows of items. Column 0 is the item's own text, the
// others its sub-items; a column can be addressed by its key. Items and columns are 0-based; an
// item or column out of range reads as empty text and is refused by the setters.
class ListView final : public Control {
public:
    ListView(Form& owner, std::string name, Frame* container = nullptr, int index = -1);

    void AddColumn(std::string text, std::string key, int width);
    void ClearColumns();
    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    const std::vector<ListViewColumn>& Columns() const { return columns_; }
    std::optional<int> ColumnIndex(std::string_view key) const;

    // Appends an item and answers its position.
    int AddItem(std::string text);
    bool RemoveItem(int item);
    void ClearItems();
    int ItemCount() const { return static_cast<int>(items_.size()); }
    std::string ItemText(int item, int column = 0) const;
    bool SetItemText(int item, int column, std::string text);
    std::string Cell(int item, std::string_view columnKey) const;
    bool SetCell(int item, std::string_view columnKey, std::string text);

    // -1 when no item is selected. Selecting by code raises no event.
    int SelectedIndex() const { return selected_; }
    bool SetSelectedIndex(int item);
    bool FullRowSelect() const { return fullRowSelect_; }
    void SetFullRowSelect(bool fullRow);
    // Columns at least as wide as their widest text, the list scrolling sideways when that is
    // wider than the list: for lists whose texts come from the profile and have no length limit.
    bool ColumnsFitText() const { return columnsFitText_; }
    void SetColumnsFitText(bool fit);

    Event<int> ItemClick;  // the item's position
    Event<> DblClick;

    // The technician clicks an item: it becomes selected and ItemClick is raised.
    bool UserClickItem(int item);
    bool UserDoubleClick();

private:
    bool ItemInRange(int item) const { return item >= 0 && item < ItemCount(); }

    std::vector<ListViewColumn> columns_;
    std::vector<std::vector<std::string>> items_;
    int selected_ = -1;
    bool fullRowSelect_ = false;
    bool columnsFitText_ = false;
};

} // namespace zem::ui
