#include "windows/window/StatusArea.h"

#include "os/Port.h"
#include "platform/errorresources/SystemErrors.h"
#include "windows/graphics/WindowsGraphicsException.h"
#include "windows/window/WindowExceptions.h"

namespace windows::window {

void addStatusAreaIcon(os::WindowHandle window, os::IconHandle icon, unsigned id,
                       unsigned callbackMessage, const std::string& tip) {
    notifyStatusArea(os::nim::Add, window, icon, id, callbackMessage, tip);
}

void removeStatusAreaIcon(os::WindowHandle window, os::IconHandle icon, unsigned id,
                          unsigned callbackMessage, const std::string& tip) {
    notifyStatusArea(os::nim::Delete, window, icon, id, callbackMessage, tip);
}

void notifyStatusArea(unsigned operation, os::WindowHandle window, os::IconHandle icon, unsigned id,
                      unsigned callbackMessage, const std::string& tip) {
    os::NotifyIconData data;
    data.window = window;
    data.id = id;
    data.flags = os::nif::Message | os::nif::Icon | os::nif::Tip;
    data.callbackMessage = callbackMessage;
    data.icon = icon;
    // The record has room for 63 characters and the terminating zero.
    data.tip = tip.substr(0, os::NotifyIconData::MaxTipLength);

    int lastError = 0;
    for (int attempt = 0; attempt < StatusAreaTries; ++attempt) {
        if (os::statusArea().notifyIcon(operation, data)) {
            return;
        }
        lastError = os::errors().lastError();
        os::clock().sleep(StatusAreaRetryWait);
    }
    throw StatusAreaException(
        "Error when moving the application from or to the taskbar notification area (system "
        "tray).\n"
        "Using system call 'Shell_NotifyIcon'.\nTries: " +
        std::to_string(StatusAreaTries) + ".\n" + "Error code: " + std::to_string(lastError) +
        ".\n" + platform::errorresources::SystemErrors::map(lastError));
}

os::IconHandle loadIcon(int resourceId) {
    const os::IconHandle icon = os::statusArea().loadIcon(resourceId);
    if (icon == 0) {
        throw graphics::WindowsGraphicsException("Error when loading icon with icon id.");
    }
    return icon;
}

}  // namespace windows::window
