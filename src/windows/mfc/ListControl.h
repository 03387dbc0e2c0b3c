#pragma once

#include "windows/mfc/Control.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace windows::mfc {

// One row of a list as it was added: one text per column, kept for sorting.
class ComparableRow {
public:
    explicit ComparableRow(std::vector<std::string> row) : _row(std::move(row)) {}

    // Below, equal to or above 0 as this row's text in the column comes before, equals or
    // comes after the other row's: byte by byte as unsigned values, a proper prefix first.
    int compare(const ComparableRow& comparableRow, std::size_t subItem) const;
    const std::vector<std::string>& getRow() const { return _row; }

private:
    std::vector<std::string> _row;
};

// A report-style list whose rows, item data, selection and sort direction are kept here, so
// that it sorts and deletes the same way on every toolkit. A click on a column header sorts
// by that column, ascending and descending in turn; the direction is shared by all columns.
class ListControl : public Control {
public:
    // A column's header and its share of the control's width in per cent.
    using Column = std::pair<std::string, unsigned>;

    explicit ListControl(int controlId) : Control(controlId) {}

    void attach(os::DialogView* dialogView) override;
    bool reflect(const os::DialogEvent& event) override;

    void setColumns(const std::vector<Column>& columnNameAndSize, unsigned extendedStyle);
    // Inserts a row at index (at the end when index is the item count).
    void addRow(const std::vector<std::string>& item, int index);
    void deleteAllItems();

    std::string getItemText(int item, int subItem) const;
    // One column's texts, top to bottom.
    std::vector<std::string> getColumnTexts(int subItem) const;
    // The selected rows, ascending.
    std::vector<int> getSelectedItems() const;
    void deleteSelectedItems();
    void setSelectedItems(const std::vector<int>& items);
    // The index of the first row whose first text equals the text, letter case aside; -1.
    int findItem(const std::string& text) const;

    int GetItemCount() const { return static_cast<int>(items.size()); }
    unsigned getNumberOfColumns() const { return _numberOfColumns; }
    // The index of the row's ComparableRow.
    std::size_t getItemData(int item) const;
    bool isSortAscending() const { return sortAscending; }
    // What a click on the column's header does.
    void sortByColumn(std::size_t column);

private:
    struct Item {
        std::size_t data = 0;
        bool selected = false;
    };

    int compareItems(std::size_t lParam1, std::size_t lParam2, std::size_t column) const;
    std::vector<std::string> shownTexts(const Item& item) const;
    void showAll();
    bool validItem(int item) const { return item >= 0 && item < GetItemCount(); }

    unsigned _numberOfColumns = 0;
    std::vector<ComparableRow> comparableRows;
    std::vector<Item> items;
    bool sortAscending = false;
};

}  // namespace windows::mfc
