#pragma once

// Before Xlib, whose Success macro would hide the error code of that name.
#include "os/ErrorCodes.h"

#include <X11/Xlib.h>

namespace os::x11 {

// Xlib reports protocol errors to one handler per process, and its default one ends the
// process. A selection peer may destroy its window at any moment, so errors on the clipboard's
// own connections are expected and are dropped; errors on any other connection still go to the
// handler that was installed before.
class XErrorTrap {
public:
    static void ignoreErrorsOn(Display* display);
    static void stopIgnoring(Display* display);
};

}  // namespace os::x11
