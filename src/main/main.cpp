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
#include <iostream>
#include <memory>

namespace {

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
