#pragma once

#include "os/DialogTemplate.h"
#include "os/DialogView.h"
#include "os/common/ControlKindTraits.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace os::sim {

// One control of the headless toolkit: all it shows, kept in memory. What its kind means
// (focus, clicks, keys, text) comes from the kind's traits; rows and entries keep their
// selection in step as they come and go.
struct HeadlessControl {
    // As the template makes it, at `placed` in pixels, in the dialog's font.
    HeadlessControl(const ControlTemplate& item, const Rect& placed, const FontStyle& dialogFont);

    const common::ControlKindTraits& traits() const { return common::ControlKindTraits::of(kind); }
    // What the control shows as its text: a drop-down list its selected entry.
    std::string shownText() const;

    // Lists. A row goes to the end for an index out of range.
    void insertRow(int index, const std::vector<std::string>& texts);
    // False for a row that does not exist.
    bool deleteRow(int index);
    void clearRows();
    // Rows that do not exist are left out.
    void setSelection(const std::vector<int>& rows);

    // Drop-down lists. Returns where the entry went.
    int addEntry(const std::string& entry);
    void clearEntries();
    // As the system does: an index out of range clears the selection and fails.
    bool selectEntry(int index);

    ControlKind kind = ControlKind::Label;
    unsigned style = 0;
    std::string text;
    std::string tip;
    Rect rect;
    bool enabled = true;
    bool visible = true;
    bool checked = false;
    FontStyle font;
    std::uint32_t textColour = 0;
    std::vector<ListColumn> columns;
    unsigned extendedStyle = 0;
    std::vector<std::vector<std::string>> rows;
    std::set<int> selection;
    std::vector<std::string> items;
    int comboSelection = -1;
};

}  // namespace os::sim
