#include "os/qt/QtDesktop.h"

#include <utility>

namespace os::qt {

QtDesktop::QtDesktop(const Port& desktop, QueueWakeup* wakeup,
                     QtStatusArea::TrayAvailable trayAvailable,
                     std::chrono::milliseconds pollInterval)
    : views(*desktop.windows, *desktop.errors, resources, wakeup, pollInterval),
      windows(*desktop.windows, views),
      dialogs(&views),
      statusArea(windows, *desktop.errors, resources, std::move(trayAvailable)),
      desktop_(desktop) {}

Port QtDesktop::port() {
    Port port = desktop_;
    port.windows = &windows;
    port.dialogs = &dialogs;
    port.dialogViews = &views;
    port.statusArea = &statusArea;
    return port;
}

}  // namespace os::qt
