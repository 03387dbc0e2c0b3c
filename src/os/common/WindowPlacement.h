#pragma once

#include "os/Windows.h"

namespace os::common {

// What placing a window does to its rectangle and style, whatever the desktop draws it
// with: the part of setWindowPos every backend's window keeps the same way.
class WindowPlacement {
public:
    // Moves and sizes the rectangle and shows or hides the window as the flags say; the Z
    // order and activation are the backend's.
    static void apply(Rect& rect, unsigned& style, int x, int y, int width, int height,
                      unsigned flags);
    // A pop-up with the child bit is owned, not contained: it is still top-level.
    static bool isTopLevel(unsigned style);
};

}  // namespace os::common
