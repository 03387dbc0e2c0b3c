#pragma once

struct _XDisplay;

namespace os::x11 {

// Xlib reports protocol errors to one handler per process, and its default one ends the
// process. The program's handler is installed once and settles every error:
// - on a connection whose errors are expected (a selection peer may destroy its window at any
//   moment), the error is dropped;
// - while a trap lives on the thread that made the request, the trap records it, so that a
//   window that vanished between two requests becomes a failed call;
// - any other error is dropped too.
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
    // Every error on the connection is dropped, trap or not, until stopIgnoring; call it
    // before the connection is closed, since a later connection may get the same address.
    static void ignoreErrorsOn(_XDisplay* display);
    static void stopIgnoring(_XDisplay* display);

private:
    _XDisplay* display_;
    int outerError_;
    bool outerActive_;
};

}  // namespace os::x11
