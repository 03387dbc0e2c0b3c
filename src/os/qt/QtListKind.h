#pragma once

#include "os/DialogView.h"
#include "os/Errors.h"
#include "os/qt/QtControlKind.h"

#include <string>
#include <vector>

class QTreeWidget;

namespace os::qt {

// A list in report style, a QTreeWidget that never sorts by itself: a header click is only
// reported, and the presenter puts the rows in its order. The presenter's own changes are
// not echoed back as selections.
class QtListKind final : public QtControlKind {
public:
    QWidget* make(const ControlTemplate& item, const Context& context,
                  QWidget* parent) const override;
    // Selections, header clicks, key presses and double clicks.
    void connect(QtView& view, int id, const ControlTemplate& item, QWidget* widget) const override;

    static void setColumns(QTreeWidget& list, const std::vector<ListColumn>& columns,
                           unsigned extendedStyle);
    // At the end for an index out of range.
    static void insertRow(QTreeWidget& list, int index, const std::vector<std::string>& texts);
    // Fails with "invalid parameter" for a row that does not exist.
    static bool deleteRow(QTreeWidget& list, int index, Errors& errors);
    static void clear(QTreeWidget& list);
    static void select(QTreeWidget& list, const std::vector<int>& rows);
};

}  // namespace os::qt
