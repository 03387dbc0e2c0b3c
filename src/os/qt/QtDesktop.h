#pragma once

#include "os/Port.h"
#include "os/qt/QtDialogViews.h"
#include "os/qt/QtDialogs.h"
#include "os/qt/QtResources.h"
#include "os/qt/QtStatusArea.h"
#include "os/qt/QtWindows.h"
#include "os/qt/QueueWakeup.h"

#include <chrono>

namespace os::qt {

// The Qt user interface over a desktop's port: dialogs and pages, message boxes, the
// notification area and the program's icons are Qt's; windows, queues and everything else
// stay the desktop's. Made and used on the thread that runs the QApplication.
class QtDesktop {
public:
    // `desktop` must have its errors and windows; `wakeup` (optional) wakes the loop when a
    // message is queued for this thread.
    explicit QtDesktop(const Port& desktop, QueueWakeup* wakeup = nullptr,
                       QtStatusArea::TrayAvailable trayAvailable = {},
                       std::chrono::milliseconds pollInterval = std::chrono::milliseconds(10));
    QtDesktop(const QtDesktop&) = delete;
    QtDesktop& operator=(const QtDesktop&) = delete;

    // The desktop's port with the Qt parts in place.
    Port port();

    QtResources resources;
    QtDialogViews views;
    QtWindows windows;
    QtDialogs dialogs;
    QtStatusArea statusArea;

private:
    Port desktop_;
};

}  // namespace os::qt
