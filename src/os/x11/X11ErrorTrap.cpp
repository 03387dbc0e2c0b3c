#include "os/x11/X11ErrorTrap.h"

#include <X11/Xlib.h>
#include <mutex>

namespace os::x11 {

namespace {

// The errors are read by whichever thread waits for the reply: the one that made the request
// when each connection is used under its owner's lock, as every piece of the backend does.
thread_local bool trapActive = false;
thread_local int trappedError = 0;

int recordError(Display* /*display*/, XErrorEvent* event) {
    if (trapActive && trappedError == 0) {
        trappedError = event->error_code;
    }
    return 0;
}

}  // namespace

void X11ErrorTrap::installHandler() {
    static std::once_flag installed;
    std::call_once(installed, [] { XSetErrorHandler(&recordError); });
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
