#include "os/x11/X11SystemInfo.h"

#include <X11/Xlib.h>

namespace os::x11 {

X11SystemInfo::X11SystemInfo(Errors& errors, const std::string& displayName) : posix_(errors) {
    XInitThreads();
    display_ = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
}

X11SystemInfo::~X11SystemInfo() {
    if (display_ != nullptr) {
        XCloseDisplay(display_);
    }
}

bool X11SystemInfo::getVersionEx(VersionInfo& info) const {
    return posix_.getVersionEx(info);
}

int X11SystemInfo::getSystemMetrics(int index) const {
    if (index != SmCxScreen && index != SmCyScreen) {
        return posix_.getSystemMetrics(index);
    }
    std::lock_guard lock(mutex_);
    if (display_ == nullptr) {
        return 0;
    }
    XWindowAttributes root{};
    if (XGetWindowAttributes(display_, DefaultRootWindow(display_), &root) == 0) {
        return 0;
    }
    return index == SmCxScreen ? root.width : root.height;
}

std::string X11SystemInfo::getCommandLine() const {
    return posix_.getCommandLine();
}

}  // namespace os::x11
