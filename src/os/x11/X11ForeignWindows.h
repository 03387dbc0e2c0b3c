#pragma once

#include "os/Windows.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct _XDisplay;

namespace os::x11 {

// Other applications' windows as the program looks at them, over a desktop connection of its
// own: a handle for each X window the first time the program meets it, and what the X server
// says of its class, title, place and visibility; also the pointer, the monitors and the
// window manager's active window. Every query holds the connection's lock; an X window that
// went away answers as missing, never as an X error.
class X11ForeignWindows {
public:
    // An empty name means $DISPLAY. Throws std::runtime_error when it cannot be opened.
    explicit X11ForeignWindows(const std::string& displayName);
    ~X11ForeignWindows();
    X11ForeignWindows(const X11ForeignWindows&) = delete;
    X11ForeignWindows& operator=(const X11ForeignWindows&) = delete;

    // The handle of another application's X window, given one the first time.
    WindowHandle handleOf(unsigned long xWindow) const;
    // The X window behind a handle this gave; 0 for none.
    unsigned long xWindowOf(WindowHandle window) const;

    bool exists(unsigned long xWindow) const;
    // WM_CLASS's class part (wantName false) or instance part; nothing without one.
    std::optional<std::string> classOf(unsigned long xWindow, bool wantName) const;
    // The UTF-8 title (_NET_WM_NAME, else WM_NAME).
    std::string titleOf(unsigned long xWindow) const;
    // The place on the screen with the window manager's frame; false for a window gone.
    bool rectOf(unsigned long xWindow, Rect& rect) const;
    // Whether the window is viewable; nothing for a window gone.
    std::optional<bool> viewable(unsigned long xWindow) const;
    // The first window from the top (frames' children included) whose WM_CLASS has that name
    // in either part; 0 for none.
    unsigned long findByClass(const std::string& className) const;
    // The window manager's _NET_ACTIVE_WINDOW; 0 for none.
    unsigned long activeWindow() const;
    // Asks the window manager, as a pager would, to activate the window.
    bool activate(unsigned long xWindow);
    // False when the pointer is on another screen of the display.
    bool cursor(Point& position) const;
    // The monitors RandR reports; the whole screen when it reports none.
    std::vector<Rect> monitors() const;
    // The pixel of a 0x00BBGGRR colour in the default colour map; white when none is free.
    unsigned long pixelOf(std::uint32_t colour);

    // Runs the action with the desktop connection while no query uses it.
    template <typename Action>
    void withDisplay(Action&& action) {
        std::lock_guard query(queryMutex_);
        action(desktop_);
    }

private:
    // WM_CLASS's two parts, each missing when the window does not set it.
    struct ClassHint {
        std::optional<std::string> name;
        std::optional<std::string> className;
    };
    std::optional<ClassHint> classHintOf(unsigned long xWindow) const;
    bool hasClass(unsigned long xWindow, const std::string& className) const;
    unsigned long atom(const char* name) const;

    _XDisplay* desktop_ = nullptr;
    // Guards the connection.
    mutable std::recursive_mutex queryMutex_;
    // Guards the handles, both ways.
    mutable std::mutex handlesMutex_;
    mutable std::map<unsigned long, WindowHandle> handleByXWindow_;
    mutable std::map<WindowHandle, unsigned long> xWindowByHandle_;
    mutable WindowHandle nextHandle_ = 0x40000010;
};

}  // namespace os::x11
