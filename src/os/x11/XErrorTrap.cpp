#include "os/x11/XErrorTrap.h"

#include <algorithm>
#include <atomic>
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

std::atomic<XErrorHandler> previousHandler{nullptr};
std::once_flag installed;

int handleError(Display* display, XErrorEvent* event) {
    {
        std::lock_guard lock(trapMutex());
        const auto& displays = trappedDisplays();
        if (std::find(displays.begin(), displays.end(), display) != displays.end()) {
            return 0;
        }
    }
    const XErrorHandler previous = previousHandler.load();
    return previous != nullptr ? previous(display, event) : 0;
}

}  // namespace

void XErrorTrap::ignoreErrorsOn(Display* display) {
    // Xlib's own lock is taken outside ours, so the two are never held in opposite orders.
    std::call_once(installed, [] { previousHandler = XSetErrorHandler(handleError); });
    std::lock_guard lock(trapMutex());
    trappedDisplays().push_back(display);
}

void XErrorTrap::stopIgnoring(Display* display) {
    std::lock_guard lock(trapMutex());
    auto& displays = trappedDisplays();
    displays.erase(std::remove(displays.begin(), displays.end(), display), displays.end());
}

}  // namespace os::x11
