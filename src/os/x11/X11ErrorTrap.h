#pragma once

struct _XDisplay;

namespace os::x11 {

// Catches the X protocol errors of the requests made while it lives on the calling thread, so
// that a window that vanished between two requests (another client closed it) becomes a
// failed call instead of ending the process, as Xlib's default handler would. The handler is
// installed once for the process; errors outside a trap are dropped.
class X11ErrorTrap {
public:
    explicit X11ErrorTrap(_XDisplay* display);
    ~X11ErrorTrap();
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

    // Waits for the server to answer every request made so far and returns the first error
    // code it reported since the trap began (0 for none).
    int sync();

    static void installHandler();

private:
    _XDisplay* display_;
    int outerError_;
    bool outerActive_;
};

}  // namespace os::x11
