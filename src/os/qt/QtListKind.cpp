#include "os/qt/QtListKind.h"

#include "os/ErrorCodes.h"
#include "os/common/ControlKindTraits.h"
#include "os/qt/QtConvert.h"
#include "os/qt/QtEventRelay.h"
#include "os/qt/QtKeys.h"
#include "os/qt/QtView.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <algorithm>

namespace os::qt {

namespace {

// The grid lines of a report list.
class GridDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        painter->save();
        painter->setPen(option.palette.color(QPalette::Mid));
        painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
        painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
        painter->restore();
    }
};

DialogEvent selectionOf(const QTreeWidget& list, int id) {
    DialogEvent event = common::controlEvent(Notification::SelectionChanged, id);
    for (int row = 0; row < list.topLevelItemCount(); ++row) {
        if (list.topLevelItem(row)->isSelected()) {
            event.items.push_back(row);
        }
    }
    return event;
}

}  // namespace

QWidget* QtListKind::make(const ControlTemplate& item, const Context& /*context*/,
                          QWidget* parent) const {
    auto* list = new QTreeWidget(parent);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The order of the rows is the program's: the list never sorts by itself.
    list->setSortingEnabled(false);
    list->header()->setSectionsClickable(true);
    list->header()->setSectionsMovable(false);
    list->header()->setStretchLastSection(false);
    list->header()->setMinimumSectionSize(0);
    list->setColumnCount(1);
    list->setHeaderLabels({QString()});
    if ((item.style & cs::Border) == 0) {
        list->setFrameShape(QFrame::NoFrame);
    }
    return list;
}

void QtListKind::connect(QtView& view, int id, const ControlTemplate& /*item*/,
                         QWidget* widget) const {
    auto* list = static_cast<QTreeWidget*>(widget);
    QObject::connect(list, &QTreeWidget::itemSelectionChanged,
                     [&view, id, list] { view.deliver(selectionOf(*list, id)); });
    QObject::connect(list->header(), &QHeaderView::sectionClicked, [&view, id](int column) {
        view.deliver(common::controlEvent(Notification::ColumnClicked, id, column));
    });
    new QtEventRelay(list, [&view, id](QEvent* event) {
        if (event->type() == QEvent::KeyPress) {
            const int virtualKey = virtualKeyOf(*static_cast<QKeyEvent*>(event));
            if (virtualKey != 0) {
                view.deliver(common::controlEvent(Notification::KeyDown, id, virtualKey));
            }
        }
        return false;
    });
    new QtEventRelay(list->viewport(), [&view, id, list](QEvent* event) {
        if (event->type() != QEvent::MouseButtonDblClick) {
            return false;
        }
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton) {
            return false;
        }
        QTreeWidgetItem* under = list->itemAt(mouse->position().toPoint());
        const int row = under == nullptr ? -1 : list->indexOfTopLevelItem(under);
        if (row < 0 && !list->selectedItems().isEmpty()) {
            // A double click below the rows leaves nothing selected.
            list->clearSelection();
        }
        view.deliver(common::controlEvent(Notification::DoubleClicked, id, row));
        return true;
    });
}

void QtListKind::setColumns(QTreeWidget& list, const std::vector<ListColumn>& columns,
                            unsigned extendedStyle) {
    QStringList headers;
    for (const ListColumn& column : columns) {
        headers << toQt(column.text);
    }
    list.setColumnCount(std::max<int>(1, static_cast<int>(columns.size())));
    list.setHeaderLabels(headers);
    for (std::size_t column = 0; column < columns.size(); ++column) {
        list.header()->resizeSection(static_cast<int>(column), std::max(0, columns[column].width));
    }
    if ((extendedStyle & lvs::GridLines) != 0) {
        list.setItemDelegate(new GridDelegate(&list));
    }
    list.setAllColumnsShowFocus((extendedStyle & lvs::FullRowSelect) != 0);
}

void QtListKind::insertRow(QTreeWidget& list, int index, const std::vector<std::string>& texts) {
    const int count = list.topLevelItemCount();
    if (index < 0 || index > count) {
        index = count;
    }
    QStringList cells;
    for (int column = 0; column < list.columnCount(); ++column) {
        cells << (static_cast<std::size_t>(column) < texts.size()
                      ? toQt(texts[static_cast<std::size_t>(column)])
                      : QString());
    }
    const QSignalBlocker quiet(list);
    list.insertTopLevelItem(index, new QTreeWidgetItem(cells));
}

bool QtListKind::deleteRow(QTreeWidget& list, int index, Errors& errors) {
    if (index < 0 || index >= list.topLevelItemCount()) {
        errors.setLastError(error::InvalidParameter);
        return false;
    }
    const QSignalBlocker quiet(list);
    delete list.takeTopLevelItem(index);
    return true;
}

void QtListKind::clear(QTreeWidget& list) {
    const QSignalBlocker quiet(list);
    list.clear();
}

void QtListKind::select(QTreeWidget& list, const std::vector<int>& rows) {
    const QSignalBlocker quiet(list);
    list.clearSelection();
    for (const int row : rows) {
        if (QTreeWidgetItem* item = list.topLevelItem(row)) {
            item->setSelected(true);
        }
    }
}

}  // namespace os::qt
