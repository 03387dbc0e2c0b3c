#include "windows/mfc/ListControl.h"

#include "platform/assertion/Assertion.h"

#include <algorithm>
#include <cctype>

namespace windows::mfc {

int ComparableRow::compare(const ComparableRow& comparableRow, std::size_t subItem) const {
    PX_ASSERT(comparableRow._row.size() == _row.size());
    PX_ASSERT(subItem < _row.size());
    // A text the row lacks counts as empty.
    const std::string mine = subItem < _row.size() ? _row[subItem] : std::string();
    const std::string theirs =
        subItem < comparableRow._row.size() ? comparableRow._row[subItem] : std::string();
    // std::string compares its characters as unsigned bytes.
    return mine.compare(theirs);
}

void ListControl::attach(os::DialogView* dialogView) {
    // Each window's list starts empty, unsorted and without columns.
    _numberOfColumns = 0;
    comparableRows.clear();
    items.clear();
    sortAscending = false;
    Control::attach(dialogView);
}

bool ListControl::reflect(const os::DialogEvent& event) {
    switch (event.notification) {
        case os::Notification::ColumnClicked:
            sortByColumn(static_cast<std::size_t>(event.value));
            return true;
        case os::Notification::SelectionChanged:
            for (Item& item : items) {
                item.selected = false;
            }
            for (const int selected : event.items) {
                if (validItem(selected)) {
                    items[static_cast<std::size_t>(selected)].selected = true;
                }
            }
            // The dialog may want to know as well.
            return false;
        default:
            return false;
    }
}

void ListControl::setColumns(const std::vector<Column>& columnNameAndSize, unsigned extendedStyle) {
    PX_ASSERT(columnNameAndSize.size() >= 1);
    const os::Rect rect = view != nullptr ? view->getControlRect(id) : os::Rect{};
    const int windowWidth = rect.right - rect.left;
    std::vector<os::ListColumn> columns;
    unsigned totalSize = 0;
    for (const auto& [name, size] : columnNameAndSize) {
        columns.push_back(
            os::ListColumn{name, static_cast<int>(size * 0.01 * static_cast<double>(windowWidth))});
        totalSize += size;
    }
    if (view != nullptr) {
        view->setListColumns(id, columns, extendedStyle);
    }
    PX_ASSERT(totalSize <= 100);
    _numberOfColumns = static_cast<unsigned>(columnNameAndSize.size());
}

void ListControl::addRow(const std::vector<std::string>& item, int index) {
    PX_ASSERT(item.size() == _numberOfColumns);
    PX_ASSERT(index <= GetItemCount());
    // The list puts an item asked for beyond its end at the end.
    const int position = std::clamp(index, 0, GetItemCount());
    comparableRows.emplace_back(item);
    items.insert(items.begin() + position, Item{comparableRows.size() - 1, false});
    if (view != nullptr) {
        view->insertListRow(id, position, shownTexts(items[static_cast<std::size_t>(position)]));
    }
}

void ListControl::deleteAllItems() {
    items.clear();
    // No item refers to a row any more: keeping them would let a list that is refilled
    // after every copy grow without end.
    comparableRows.clear();
    if (view != nullptr) {
        view->deleteAllListRows(id);
    }
}

std::string ListControl::getItemText(int item, int subItem) const {
    if (!validItem(item) || subItem < 0 || static_cast<unsigned>(subItem) >= _numberOfColumns) {
        return {};
    }
    const std::vector<std::string>& row =
        comparableRows[items[static_cast<std::size_t>(item)].data].getRow();
    const auto column = static_cast<std::size_t>(subItem);
    return column < row.size() ? row[column] : std::string();
}

std::vector<std::string> ListControl::getColumnTexts(int subItem) const {
    std::vector<std::string> texts;
    for (int item = 0; item < GetItemCount(); ++item) {
        texts.push_back(getItemText(item, subItem));
    }
    return texts;
}

std::vector<int> ListControl::getSelectedItems() const {
    std::vector<int> selected;
    for (int item = 0; item < GetItemCount(); ++item) {
        if (items[static_cast<std::size_t>(item)].selected) {
            selected.push_back(item);
        }
    }
    return selected;
}

void ListControl::deleteSelectedItems() {
    // From the bottom up, so that the indices still to come stay valid.
    for (int item = GetItemCount() - 1; item >= 0; --item) {
        if (items[static_cast<std::size_t>(item)].selected) {
            items.erase(items.begin() + item);
            if (view != nullptr) {
                view->deleteListRow(id, item);
            }
        }
    }
}

void ListControl::setSelectedItems(const std::vector<int>& selection) {
    for (Item& item : items) {
        item.selected = false;
    }
    for (const int selected : selection) {
        if (validItem(selected)) {
            items[static_cast<std::size_t>(selected)].selected = true;
        }
    }
    if (view != nullptr) {
        view->setListSelection(id, getSelectedItems());
    }
}

int ListControl::findItem(const std::string& text) const {
    const auto sameLetters = [](const std::string& a, const std::string& b) {
        return a.size() == b.size() &&
               std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
                   return std::tolower(x) == std::tolower(y);
               });
    };
    for (int item = 0; item < GetItemCount(); ++item) {
        if (sameLetters(getItemText(item, 0), text)) {
            return item;
        }
    }
    return -1;
}

std::size_t ListControl::getItemData(int item) const {
    return validItem(item) ? items[static_cast<std::size_t>(item)].data : 0;
}

int ListControl::compareItems(std::size_t lParam1, std::size_t lParam2, std::size_t column) const {
    PX_ASSERT(lParam1 < comparableRows.size());
    PX_ASSERT(lParam2 < comparableRows.size());
    if (lParam1 >= comparableRows.size() || lParam2 >= comparableRows.size()) {
        return 0;
    }
    return sortAscending ? comparableRows[lParam1].compare(comparableRows[lParam2], column)
                         : comparableRows[lParam2].compare(comparableRows[lParam1], column);
}

void ListControl::sortByColumn(std::size_t column) {
    sortAscending = !sortAscending;
    std::stable_sort(items.begin(), items.end(), [&](const Item& a, const Item& b) {
        return compareItems(a.data, b.data, column) < 0;
    });
    showAll();
}

std::vector<std::string> ListControl::shownTexts(const Item& item) const {
    std::vector<std::string> texts = comparableRows[item.data].getRow();
    texts.resize(_numberOfColumns);
    return texts;
}

void ListControl::showAll() {
    if (view == nullptr) {
        return;
    }
    view->deleteAllListRows(id);
    for (int item = 0; item < GetItemCount(); ++item) {
        view->insertListRow(id, item, shownTexts(items[static_cast<std::size_t>(item)]));
    }
    view->setListSelection(id, getSelectedItems());
}

}  // namespace windows::mfc
