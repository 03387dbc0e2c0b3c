#include "os/x11/X11ErrorTrap.h"

#include <X11/Xlib.h>
#include <algorithm>
#include <mutex>
#include <vector>

namespace os::x11 {

namespace {

// The errors are read by whichever thread waits for the reply: the one that made the request
// when each connection is used under its owner's lock, as every piece of the backend does.
thread_local bool trapActive = false;
thread_local int trappedError = 0;

std::mutex& ignoredMutex() {
    static std::mutex mutex;
    return mutex;
}

std::vector<Display*>& ignoredDisplays() {
    static std::vector<Display*> displays;
    return displays;
}

int handleError(Display* display, XErrorEvent* event) {
    {
        // Xlib holds the connection's lock here; ours is never held while calling Xlib.
        std::lock_guard lock(ignoredMutex());
        const auto& ignored = ignoredDisplays();
        if (std::find(ignored.begin(), ignored.end(), display) != ignored.end()) {
            return 0;
        }
    }
    if (trapActive && trappedError == 0) {
        trappedError = event->error_code;
    }
    return 0;
}

}  // namespace

void X11ErrorTrap::installHandler() {
    static std::once_flag installed;
    std::call_once(installed, [] { XSetErrorHandler(&handleError); });
}

void X11ErrorTrap::ignoreErrorsOn(Display* display) {
    installHandler();
    std::lock_guard lock(ignoredMutex());
    ignoredDisplays().push_back(display);
}

void X11ErrorTrap::stopIgnoring(Display* display) {
    std::lock_guard lock(ignoredMutex());
    auto& ignored = ignoredDisplays();
    ignored.erase(std::remove(ignored.begin(), ignored.end(), display), ignored.end());
}

X11ErrorTrap::X11ErrorTrap(_XDisplay* display)
    : display_(display), outerError_(trappedError), outerActive_(trapActive) {
    installHandler();
    trapActive = true;
    trappedError = 0;
}

X11ErrorTrap::~X11ErrorTrap() {
    trapActive = outerActive_;
    trappedError = outerError_;
}

int X11ErrorTrap::sync() {
    XSync(display_, False);
    return trappedError;
}

}  // namespace os::x11
