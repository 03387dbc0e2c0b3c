#pragma once

#include "os/Errors.h"
#include "os/Keyboard.h"
#include "os/Windows.h"
#include "os/common/WindowEngine.h"
#include "os/x11/X11ForeignWindows.h"

#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

struct _XDisplay;

namespace os::x11 {

// What a piece of the backend needs to draw into an X window.
struct XTarget {
    _XDisplay* display = nullptr;
    unsigned long window = 0;  // the X window id; 0 for a window without one
    int screen = 0;
};

// The windows of the program on an X11 desktop, and the other applications' windows as far as
// the program looks at them.
//
// Every window belongs to the thread that created it and every thread has its own message
// queue, which any thread may post into. Most of the program's windows live only inside the
// process (they receive posted messages, like the page that takes the hook events). A pop-up
// (style ws::Popup) is a real X window: override-redirect, so the window manager neither
// frames nor focuses it, on a connection of the creating thread's own, with the class name as
// its WM_CLASS (so other processes find it) and the class background as its background. Its
// Expose events become paint messages when the owning thread looks at its queue.
//
// Windows of other applications get handles as well, the first time the program meets them
// (the window in front, a window found by class); their titles, places and styles come from
// the X server.
//
// A thread's event loop can wait for its queue without polling: waitMessage blocks until a
// message (or an X event of the thread's windows) arrives or the time is up, and
// messageFileDescriptor gives a descriptor that is readable while the queue holds a message,
// for a loop that watches descriptors itself (such a loop also watches the thread's X
// connection, xConnectionFileDescriptor, and calls peekMessage when it is readable).
class X11Windows final : public Windows, private common::WindowEngine::Backend {
public:
    // Opens a connection of its own for looking at the desktop. An empty name means $DISPLAY.
    // Throws std::runtime_error when the display cannot be opened.
    X11Windows(Errors& errors, const std::string& displayName);
    ~X11Windows() override;
    X11Windows(const X11Windows&) = delete;
    X11Windows& operator=(const X11Windows&) = delete;

    bool registerClass(const WindowClass& windowClass) override;
    bool unregisterClass(const std::string& className, InstanceHandle instance) override;
    WindowHandle createWindow(const WindowCreation& creation) override;
    bool destroyWindow(WindowHandle window) override;
    bool isWindow(WindowHandle window) const override;

    bool postMessage(WindowHandle window, unsigned int message, std::uintptr_t wParam,
                     std::intptr_t lParam) override;
    void postQuitMessage(int exitCode) override;
    bool peekMessage(Message& message, bool remove) override;
    bool translateMessage(const Message& message) override;
    std::intptr_t dispatchMessage(const Message& message) override;
    std::intptr_t defWindowProc(WindowHandle window, unsigned int message, std::uintptr_t wParam,
                                std::intptr_t lParam) override;

    bool getWindowRect(WindowHandle window, Rect& rect) const override;
    unsigned getWindowStyle(WindowHandle window) const override;
    bool showWindow(WindowHandle window, int command) override;
    bool setWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y, int width,
                      int height, unsigned flags) override;
    bool setForegroundWindow(WindowHandle window) override;
    WindowHandle getForegroundWindow() const override;
    int getWindowText(WindowHandle window, std::string& text, int maxCount) const override;
    int getClassName(WindowHandle window, std::string& name, int maxCount) const override;
    WindowHandle findWindow(const std::string& className) const override;
    bool getCursorPos(Point& position) const override;
    // The monitors RandR reports; the whole screen when it reports none.
    bool getMonitorRect(const Point& point, Rect& monitor) const override;

    // Queues an input event for the window's thread with the state of every key at the event;
    // the thread's key-state queries answer from that table once it takes the message.
    bool postInputMessage(WindowHandle window, unsigned int message, std::uintptr_t wParam,
                          std::intptr_t lParam, const KeyStateTable& keyState);

    bool waitMessage(std::chrono::milliseconds timeout) override;
    // Readable while the calling thread's queue holds a message; owned by this object.
    int messageFileDescriptor();
    // The calling thread's own X connection, -1 while it has made no X window.
    int xConnectionFileDescriptor();

    // The X window behind a handle: a window of the program's or another application's.
    unsigned long xWindowOf(WindowHandle window) const;
    // The handle of an X window, given one if the program has not met it yet; 0 for none.
    WindowHandle handleOfXWindow(unsigned long xWindow) const;

    // Runs the action with the window's X connection and id while the window cannot go away.
    // Windows without an X window of their own get the desktop connection and id 0. False
    // (error::InvalidWindowHandle) for a window that does not exist.
    bool withXTarget(WindowHandle window, const std::function<void(const XTarget&)>& action);
    // The window was painted: no paint message is due any more.
    void validate(WindowHandle window);

    // The instance that the exported input call posts into: the first one made, while it lives.
    static X11Windows* inputTarget();

private:
    // The engine's backend: the threads' descriptors and the pop-ups' X windows.
    void queueFilled(std::thread::id thread) override;
    void queueEmptied(std::thread::id thread) override;
    bool acceptsParent(WindowHandle parent) const override;
    std::optional<unsigned long> attach(const WindowCreation& creation,
                                        const WindowClass& windowClass) override;
    void detach(const common::WindowEngine::Window& window) override;
    void shown(const common::WindowEngine::Window& window, int command) override;
    void placed(const common::WindowEngine::Window& window, unsigned flags,
                WindowHandle insertAfter) override;

    // A thread's wake-up descriptor and its connection for the pop-ups it made.
    struct ThreadLink {
        int eventFd = -1;
        _XDisplay* display = nullptr;
        int xWindows = 0;
    };

    // Turns the X events of the calling thread's connection into messages.
    void pumpXEvents();
    // The caller holds linksMutex_.
    void closeThreadDisplayIfUnused(ThreadLink& link);
    unsigned long createXWindow(_XDisplay* display, const WindowCreation& creation,
                                std::optional<unsigned long> backgroundPixel);

    Errors& errors_;
    std::string displayName_;
    X11ForeignWindows foreign_;
    common::WindowEngine engine_;
    // Guards the threads' links and the classes' background pixels; taken after the engine's
    // lock when both are held, never the other way.
    mutable std::mutex linksMutex_;
    std::map<std::thread::id, ThreadLink> links_;
    std::map<std::string, unsigned long> backgroundPixels_;
    mutable std::mutex foregroundMutex_;
    mutable WindowHandle lastForeground_ = 0;
};

}  // namespace os::x11
