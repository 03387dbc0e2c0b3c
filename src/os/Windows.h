#pragma once

#include "os/Types.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace os {

using InstanceHandle = std::uintptr_t;

// A window procedure: handles one message of a window and returns its result.
using WindowProcedure = std::intptr_t (*)(WindowHandle window, unsigned int message,
                                          std::uintptr_t wParam, std::intptr_t lParam);

inline constexpr unsigned int WmApp = 0x8000;

namespace wm {
// Does nothing; posted to wake a thread that waits for its queue.
inline constexpr unsigned int Null = 0x0000;
inline constexpr unsigned int Create = 0x0001;
inline constexpr unsigned int Destroy = 0x0002;
inline constexpr unsigned int Paint = 0x000F;
inline constexpr unsigned int Close = 0x0010;
inline constexpr unsigned int Quit = 0x0012;
inline constexpr unsigned int KeyDown = 0x0100;
inline constexpr unsigned int KeyUp = 0x0101;
inline constexpr unsigned int Char = 0x0102;
inline constexpr unsigned int User = 0x0400;
}  // namespace wm

// Window styles.
namespace ws {
inline constexpr unsigned Popup = 0x80000000U;
inline constexpr unsigned Child = 0x40000000U;
inline constexpr unsigned Visible = 0x10000000U;
inline constexpr unsigned Border = 0x00800000U;
}  // namespace ws

// Commands of showWindow.
namespace sw {
inline constexpr int Hide = 0;
inline constexpr int ShowNormal = 1;
inline constexpr int Show = 5;
inline constexpr int ShowNoActivate = 8;
}  // namespace sw

// Flags of setWindowPos.
namespace swp {
inline constexpr unsigned NoSize = 0x0001;
inline constexpr unsigned NoMove = 0x0002;
inline constexpr unsigned NoZOrder = 0x0004;
inline constexpr unsigned NoActivate = 0x0010;
inline constexpr unsigned ShowWindow = 0x0040;
inline constexpr unsigned HideWindow = 0x0080;
inline constexpr unsigned NoOwnerZOrder = 0x0200;
}  // namespace swp

// The place in the Z order that keeps a window above all ordinary windows.
inline constexpr WindowHandle HwndTopmost = static_cast<WindowHandle>(-1);

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct Point {
    int x = 0;
    int y = 0;
};

// A window class: how every window of the class looks and which procedure handles its
// messages.
struct WindowClass {
    unsigned style = 0;
    WindowProcedure procedure = nullptr;
    int classExtraBytes = 0;
    int windowExtraBytes = 0;
    InstanceHandle instance = 0;
    std::uintptr_t icon = 0;
    std::uintptr_t cursor = 0;
    // The colour the window's background is filled with (0x00BBGGRR), if any.
    std::optional<std::uint32_t> background;
    std::string menuName;
    std::string className;
};

struct WindowCreation {
    unsigned extendedStyle = 0;
    std::string className;
    std::string title;
    unsigned style = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    WindowHandle parent = 0;
    InstanceHandle instance = 0;
};

// Windows, their classes and their message queues. Every window belongs to the thread that
// created it, and every thread has its own queue. Failures leave the reason in the last error.
class Windows {
public:
    virtual ~Windows() = default;

    // Fails with error::ClassAlreadyExists for a name already registered.
    virtual bool registerClass(const WindowClass& windowClass) = 0;
    virtual bool unregisterClass(const std::string& className, InstanceHandle instance) = 0;
    // Sends the creation message to the class's procedure before returning; 0 on failure.
    virtual WindowHandle createWindow(const WindowCreation& creation) = 0;
    // Sends the destruction message to the window's procedure, then removes the window.
    virtual bool destroyWindow(WindowHandle window) = 0;
    virtual bool isWindow(WindowHandle window) const = 0;

    // Queues a message for the window's thread and returns at once; false when the window
    // does not exist (error::InvalidWindowHandle).
    virtual bool postMessage(WindowHandle window, unsigned int message, std::uintptr_t wParam,
                             std::intptr_t lParam) = 0;
    // Queues the quit message for the calling thread.
    virtual void postQuitMessage(int exitCode) = 0;
    // Looks at the oldest message of the calling thread's queue, for any of its windows,
    // and takes it out when `remove` is set; never waits.
    virtual bool peekMessage(Message& message, bool remove) = 0;
    // Blocks the calling thread until its queue holds a message or the time is up; true when
    // a message waits. Takes nothing out of the queue.
    virtual bool waitMessage(std::chrono::milliseconds timeout) = 0;
    virtual bool translateMessage(const Message& message) = 0;
    // Hands the message to its window's procedure and returns the procedure's result.
    virtual std::intptr_t dispatchMessage(const Message& message) = 0;
    // What the system does with a message no procedure handles.
    virtual std::intptr_t defWindowProc(WindowHandle window, unsigned int message,
                                        std::uintptr_t wParam, std::intptr_t lParam) = 0;

    virtual bool getWindowRect(WindowHandle window, Rect& rect) const = 0;
    // The window's style bits; 0 with error::InvalidWindowHandle for a missing window.
    virtual unsigned getWindowStyle(WindowHandle window) const = 0;
    // Returns whether the window was visible before.
    virtual bool showWindow(WindowHandle window, int command) = 0;
    virtual bool setWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y,
                              int width, int height, unsigned flags) = 0;
    virtual bool setForegroundWindow(WindowHandle window) = 0;
    // 0 when no window is in front.
    virtual WindowHandle getForegroundWindow() const = 0;
    // Copies at most maxCount - 1 characters of the title and returns how many; 0 for an
    // empty title (last error 0) or a failure (last error set).
    virtual int getWindowText(WindowHandle window, std::string& text, int maxCount) const = 0;
    // The window's class name, cut to maxCount - 1 characters, and its length; 0 with
    // error::InvalidWindowHandle for a missing window. Another application's window on a
    // desktop with two-part classes (X11's WM_CLASS) answers the class part.
    virtual int getClassName(WindowHandle window, std::string& name, int maxCount) const = 0;
    // The top-level window of the class, visible or not; 0 when there is none.
    virtual WindowHandle findWindow(const std::string& className) const = 0;

    virtual bool getCursorPos(Point& position) const = 0;
    // The rectangle of the monitor that shows the point, or of the nearest one when none does
    // (a gap between monitors, a point off the desktop). False when the system cannot tell.
    virtual bool getMonitorRect(const Point& point, Rect& monitor) const = 0;
};

}  // namespace os
