// Pastrix on a Linux desktop: the X11 backend for everything the program does with the
// desktop, Qt for the settings window, message boxes and the notification-area icon, and the
// program's own start-up routine on the main thread.

#include "config/Pastrix.h"
#include "os/ScopedInstall.h"
#include "os/qt/QtDesktop.h"
#include "os/qt/QueueWakeup.h"
#include "os/x11/X11Platform.h"

#include <QApplication>
#include <QtGlobal>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>

namespace {

bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// Under Wayland the program still runs, through XWayland, but the X server only sees what X11
// applications do: say so once, rather than let slot gestures silently do nothing.
bool isWaylandSession() {
    const char* type = std::getenv("XDG_SESSION_TYPE");
    return isSet("WAYLAND_DISPLAY") || (type != nullptr && std::strcmp(type, "wayland") == 0);
}

constexpr const char* WaylandNotice =
    "Pastrix: this is a Wayland session. Pastrix runs through XWayland and works with X11 "
    "applications only: keys typed in Wayland applications start no slot gesture and no Cool "
    "Key, and Pastrix cannot copy from or paste into them.";

// Wakes the Qt loop when a message reaches the main thread's queue, so that key events from
// the hook library are handled at once rather than at the next poll.
class X11QueueWakeup final : public os::qt::QueueWakeup {
public:
    explicit X11QueueWakeup(os::x11::X11Windows& windows)
        : descriptor_(windows.messageFileDescriptor()) {}

    int descriptor() const override { return descriptor_; }
    // The descriptor stays readable exactly while the queue holds a message.
    void clear() override {}

private:
    int descriptor_;
};

}  // namespace

int main(int argc, char** argv) {
    if (isWaylandSession()) {
        std::cerr << WaylandNotice << '\n';
    }
    std::unique_ptr<os::x11::X11Platform> platform;
    try {
        platform = std::make_unique<os::x11::X11Platform>();
    } catch (const os::x11::X11DisplayException& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    // Every part of the program speaks X11; Qt must use the same display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QApplication application(argc, argv);
    X11QueueWakeup wakeup(platform->x11Windows());
    os::qt::QtDesktop desktop(platform->installedPort(), &wakeup);
    const os::ScopedInstall userInterface(desktop.port());
    products::pastrix::config::Pastrix::run();
    return 0;
}
