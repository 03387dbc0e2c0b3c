#include "os/qt/QtComboKind.h"

#include "os/ErrorCodes.h"
#include "os/common/ControlKindTraits.h"
#include "os/qt/QtConvert.h"
#include "os/qt/QtView.h"

#include <QComboBox>
#include <algorithm>
#include <vector>

namespace os::qt {

QWidget* QtComboKind::make(const ControlTemplate& /*item*/, const Context& /*context*/,
                           QWidget* parent) const {
    auto* combo = new QComboBox(parent);
    combo->setEditable(false);
    return combo;
}

QRect QtComboKind::fit(QWidget* widget, const ControlTemplate& /*item*/, const QRect& rect,
                       const Context& /*context*/) const {
    auto* combo = static_cast<QComboBox*>(widget);
    const int field = combo->sizeHint().height();
    const int rowHeight = std::max(1, combo->fontMetrics().height() + 2);
    combo->setMaxVisibleItems(std::max(1, (rect.height() - field) / rowHeight));
    QRect fitted = rect;
    fitted.setHeight(field);
    return fitted;
}

void QtComboKind::connect(QtView& view, int id, const ControlTemplate& /*item*/,
                          QWidget* widget) const {
    QObject::connect(
        static_cast<QComboBox*>(widget), &QComboBox::activated, [&view, id](int index) {
            view.deliver(common::controlEvent(Notification::SelectionChanged, id, index));
        });
}

std::string QtComboKind::text(const QWidget* widget) const {
    const auto* combo = static_cast<const QComboBox*>(widget);
    return combo->currentIndex() < 0 ? std::string() : fromQt(combo->currentText());
}

int QtComboKind::add(QComboBox& combo, const std::string& entry, bool sorted) {
    std::vector<std::string> entries;
    for (int item = 0; item < combo.count(); ++item) {
        entries.push_back(fromQt(combo.itemText(item)));
    }
    const int index = common::entryPosition(entries, entry, sorted);
    const int selected = combo.currentIndex();
    const QSignalBlocker quiet(combo);
    combo.insertItem(index, toQt(entry));
    // A list without a selection keeps none, as the system's does.
    combo.setCurrentIndex(selected < 0 ? -1 : (selected >= index ? selected + 1 : selected));
    return index;
}

bool QtComboKind::select(QComboBox& combo, int index, Errors& errors) {
    const QSignalBlocker quiet(combo);
    if (index < -1 || index >= combo.count()) {
        combo.setCurrentIndex(-1);
        errors.setLastError(error::InvalidParameter);
        return false;
    }
    combo.setCurrentIndex(index);
    return true;
}

std::string QtComboKind::entry(const QComboBox& combo, int index) {
    if (index < 0 || index >= combo.count()) {
        return {};
    }
    return fromQt(combo.itemText(index));
}

}  // namespace os::qt
