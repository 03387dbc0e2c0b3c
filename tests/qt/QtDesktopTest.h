#pragma once

#include "os/Port.h"
#include "os/ScopedInstall.h"
#include "os/qt/QtDesktop.h"
#include "support/SimDesktopTest.h"

#include <QMessageBox>
#include <QPoint>
#include <QPointer>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QTreeWidget;
class QWidget;

namespace qt_testing {

// What a message box showed before a test answered it.
struct SeenBox {
    std::string caption;
    std::string text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    std::vector<std::string> buttons;
    Qt::TextFormat format = Qt::AutoText;
    QWidget* parent = nullptr;
};

// The simulated desktop with the Qt toolkit in front of it: dialogs, message boxes and the
// status area are Qt's, windows and queues the simulated desktop's.
class QtDesktopTest : public testing_support::SimDesktopAssertionTest {
protected:
    QtDesktopTest();
    ~QtDesktopTest() override;

    // Lets Qt run until the condition holds; false after the time is up.
    static bool waitFor(const std::function<bool()>& condition,
                        std::chrono::milliseconds limit = std::chrono::milliseconds(5000));
    // Lets Qt run for a while.
    static void spin(std::chrono::milliseconds duration);

    // Answers the next message box with the button once it shows, and keeps what it showed.
    void answerNextBox(QMessageBox::StandardButton button);
    // Runs the script in the next dialog of the template once it shows.
    void whenShown(int templateId, std::function<void(os::qt::QtView&)> script);
    // Saves the widget's picture as a test artifact; returns the file's path.
    static std::string screenshot(QWidget* widget, const std::string& name);

    // The user at the mouse and keyboard.
    static void click(QWidget* widget);
    static void clickHeader(QTreeWidget* list, int column);
    static void clickRow(QTreeWidget* list, int row,
                         Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    static void doubleClickRow(QTreeWidget* list, int row);
    static std::vector<std::vector<std::string>> rows(const QTreeWidget* list);

    // The view of an open dialog, and one of its controls as its widget type.
    template <typename Widget>
    static Widget* widget(os::qt::QtView& view, int id) {
        return qobject_cast<Widget*>(view.control(id));
    }

    bool trayAvailable = true;
    os::qt::QtDesktop qt{desktop.port(), nullptr, [this] { return trayAvailable; },
                         std::chrono::milliseconds(1)};
    os::qt::QtResources& resources = qt.resources;
    os::qt::QtDialogViews& views = qt.views;
    os::qt::QtWindows& windows = qt.windows;
    os::qt::QtStatusArea& statusArea = qt.statusArea;
    std::vector<SeenBox> seenBoxes;
    // Timers of answers and scripts that may still wait: they go with the test.
    std::vector<QPointer<QTimer>> timers;

private:
    os::ScopedInstall qtInstallation{qt.port()};
};

}  // namespace qt_testing
