#include "os/x11/XErrorTrap.h"

#include <algorithm>
#include <mutex>
#include <vector>

// Xlib's macro of this name would hide the program's error code.
#undef Success

namespace os::x11 {

namespace {

std::mutex& trapMutex() {
    static std::mutex mutex;
    return mutex;
}

std::vector<Display*>& trappedDisplays() {
    static std::vector<Display*> displays;
    return displays;
}

XErrorHandler previousHandler = nullptr;
bool installed = false;

int handleError(Display* display, XErrorEvent* event) {
    XErrorHandler previous = nullptr;
    {
        std::lock_guard lock(trapMutex());
        const auto& displays = trappedDisplays();
        if (std::find(displays.begin(), displays.end(), display) != displays.end()) {
            return 0;
        }
        previous = previousHandler;
    }
    return previous != nullptr ? previous(display, event) : 0;
}

}  // namespace

void XErrorTrap::ignoreErrorsOn(Display* display) {
    std::lock_guard lock(trapMutex());
    if (!installed) {
        previousHandler = XSetErrorHandler(handleError);
        installed = true;
    }
    trappedDisplays().push_back(display);
}

void XErrorTrap::stopIgnoring(Display* display) {
    std::lock_guard lock(trapMutex());
    auto& displays = trappedDisplays();
    displays.erase(std::remove(displays.begin(), displays.end(), display), displays.end());
}

}  // namespace os::x11
