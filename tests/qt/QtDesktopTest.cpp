#include "QtDesktopTest.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <thread>

namespace qt_testing {

QtDesktopTest::QtDesktopTest() = default;

QtDesktopTest::~QtDesktopTest() {
    // Nothing a test started may outlive its desktop.
    for (const QPointer<QTimer>& timer : timers) {
        delete timer.data();
    }
}

bool QtDesktopTest::waitFor(const std::function<bool()>& condition,
                            std::chrono::milliseconds limit) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > limit.count()) {
            return false;
        }
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void QtDesktopTest::spin(std::chrono::milliseconds duration) {
    waitFor([] { return false; }, duration);
}

void QtDesktopTest::answerNextBox(QMessageBox::StandardButton button) {
    auto* timer = new QTimer(qApp);
    timers.emplace_back(timer);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [this, timer, button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        SeenBox seen;
        seen.caption = box->windowTitle().toStdString();
        seen.text = box->text().toStdString();
        seen.icon = box->icon();
        seen.format = box->textFormat();
        seen.parent = box->parentWidget();
        for (QAbstractButton* shown : box->buttons()) {
            seen.buttons.push_back(shown->text().remove('&').toStdString());
        }
        seenBoxes.push_back(seen);
        QAbstractButton* answer = box->button(button);
        if (answer != nullptr) {
            answer->click();
        } else {
            QTest::keyClick(box, Qt::Key_Escape);
        }
    });
    timer->start();
}

void QtDesktopTest::whenShown(int templateId, std::function<void(os::qt::QtView&)> script) {
    auto* timer = new QTimer(qApp);
    timers.emplace_back(timer);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [this, timer, templateId, script] {
        os::qt::QtView* view = views.find(templateId);
        if (view == nullptr || !view->widget()->isVisible()) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        script(*view);
    });
    timer->start();
}

std::string QtDesktopTest::screenshot(QWidget* widget, const std::string& name) {
    QDir().mkpath(PASTRIX_QT_SCREENSHOTS);
    const QString file =
        QString(PASTRIX_QT_SCREENSHOTS) + "/" + QString::fromStdString(name) + ".png";
    if (!widget->grab().save(file, "PNG")) {
        return {};
    }
    return file.toStdString();
}

void QtDesktopTest::click(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
}

void QtDesktopTest::clickHeader(QTreeWidget* list, int column) {
    QHeaderView* header = list->header();
    const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(x, header->height() / 2));
}

void QtDesktopTest::clickRow(QTreeWidget* list, int row, Qt::KeyboardModifiers modifiers) {
    const QRect rect = list->visualItemRect(list->topLevelItem(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, rect.center());
}

void QtDesktopTest::doubleClickRow(QTreeWidget* list, int row) {
    const QPoint point = row < 0 ? QPoint(5, list->viewport()->height() - 3)
                                 : list->visualItemRect(list->topLevelItem(row)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, point);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, point);
}

std::vector<std::vector<std::string>> QtDesktopTest::rows(const QTreeWidget* list) {
    std::vector<std::vector<std::string>> texts;
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        std::vector<std::string> cells;
        for (int column = 0; column < list->columnCount(); ++column) {
            cells.push_back(list->topLevelItem(row)->text(column).toStdString());
        }
        texts.push_back(cells);
    }
    return texts;
}

}  // namespace qt_testing
