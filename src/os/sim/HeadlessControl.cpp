#include "os/sim/HeadlessControl.h"

#include <algorithm>

namespace os::sim {

HeadlessControl::HeadlessControl(const ControlTemplate& item, const Rect& placed,
                                 const FontStyle& dialogFont)
    : kind(item.kind),
      style(item.style),
      text(item.text),
      tip(item.tip),
      rect(placed),
      enabled((item.style & cs::Disabled) == 0),
      visible((item.style & cs::Hidden) == 0),
      font(dialogFont) {}

std::string HeadlessControl::shownText() const {
    if (!traits().textIsSelection) {
        return text;
    }
    return comboSelection < 0 ? std::string() : items[static_cast<std::size_t>(comboSelection)];
}

void HeadlessControl::insertRow(int index, const std::vector<std::string>& texts) {
    const int count = static_cast<int>(rows.size());
    if (index < 0 || index > count) {
        index = count;
    }
    std::vector<std::string> row = texts;
    row.resize(std::max<std::size_t>(columns.size(), 1));
    rows.insert(rows.begin() + index, row);
    std::set<int> moved;
    for (const int selected : selection) {
        moved.insert(selected >= index ? selected + 1 : selected);
    }
    selection = moved;
}

bool HeadlessControl::deleteRow(int index) {
    if (index < 0 || index >= static_cast<int>(rows.size())) {
        return false;
    }
    rows.erase(rows.begin() + index);
    std::set<int> moved;
    for (const int selected : selection) {
        if (selected != index) {
            moved.insert(selected > index ? selected - 1 : selected);
        }
    }
    selection = moved;
    return true;
}

void HeadlessControl::clearRows() {
    rows.clear();
    selection.clear();
}

void HeadlessControl::setSelection(const std::vector<int>& selected) {
    selection.clear();
    for (const int row : selected) {
        if (row >= 0 && row < static_cast<int>(rows.size())) {
            selection.insert(row);
        }
    }
}

int HeadlessControl::addEntry(const std::string& entry) {
    const int index = common::entryPosition(items, entry, (style & cs::Sorted) != 0);
    items.insert(items.begin() + index, entry);
    if (comboSelection >= index) {
        ++comboSelection;
    }
    return index;
}

void HeadlessControl::clearEntries() {
    items.clear();
    comboSelection = -1;
}

bool HeadlessControl::selectEntry(int index) {
    if (index < -1 || index >= static_cast<int>(items.size())) {
        comboSelection = -1;
        return false;
    }
    comboSelection = index;
    return true;
}

}  // namespace os::sim
