#pragma once

#include "os/Errors.h"
#include "os/Keyboard.h"
#include "os/Windows.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace os::common {

// The program's own windows and its threads' message queues, for a desktop whose window system
// does not keep them (the simulated desktop, X11): classes and handles, titles, styles and
// places, and per-thread queues with post, peek, dispatch and quit.
//
// Each window belongs to the thread that created it, each thread has its own queue, which any
// thread may post into. Window procedures run on the calling thread with no lock held, so they
// may call back in. What a backend adds (a real window behind some of them, a descriptor that
// wakes a thread) comes through Backend.
class WindowEngine {
public:
    struct Window {
        std::string className;
        std::string title;
        unsigned style = 0;
        unsigned extendedStyle = 0;
        Rect rect;
        WindowHandle parent = 0;
        std::thread::id thread;
        WindowProcedure procedure = nullptr;
        // The backend's own window behind this one; 0 for none. Such a window is painted when
        // the backend says so (scheduleNativePaint), not when it is created, shown or placed.
        unsigned long native = 0;
        bool paintPending = false;
    };

    class Backend {
    public:
        virtual ~Backend() = default;
        // A thread's queue turned from empty to holding a message, and back. Called with the
        // engine's lock held, so a wake-up is never lost between them; must not call back in.
        virtual void queueFilled(std::thread::id /*thread*/) {}
        virtual void queueEmptied(std::thread::id /*thread*/) {}
        // Whether a handle that is not one of the program's windows may be a parent (another
        // application's window). Called with the engine's lock held.
        virtual bool acceptsParent(WindowHandle /*parent*/) const { return false; }
        // Makes the backend's window for a new one, on the creating thread and with no lock
        // held: its id, 0 for none, or nothing when it could not be made (the error set).
        virtual std::optional<unsigned long> attach(const WindowCreation& /*creation*/,
                                                    const WindowClass& /*windowClass*/) {
            return 0UL;
        }
        // A removed window with a backend window of its own (no lock held).
        virtual void detach(const Window& /*window*/) {}
        // A window with a backend window was shown, hidden or placed (the record already holds
        // the new style and place). Called with the engine's lock held.
        virtual void shown(const Window& /*window*/, int /*command*/) {}
        virtual void placed(const Window& /*window*/, unsigned /*flags*/,
                            WindowHandle /*insertAfter*/) {}
    };

    // A queued message and the state of every key at its event, for input that carries one.
    struct Queued {
        Message message;
        std::optional<KeyStateTable> keyState;
    };

    WindowEngine(Errors& errors, Backend& backend);
    explicit WindowEngine(Errors& errors);

    bool registerClass(const WindowClass& windowClass);
    bool unregisterClass(const std::string& className);
    bool isClassRegistered(const std::string& className) const;

    WindowHandle createWindow(const WindowCreation& creation);
    // Adds a window without a class or creation message (what a test plays as another
    // application's window).
    WindowHandle addWindow(Window window);
    bool destroyWindow(WindowHandle window);
    bool isWindow(WindowHandle window) const;
    // A copy of the window's record; nothing (and no error set) for a handle that is not one.
    std::optional<Window> window(WindowHandle window) const;
    // The window whose backend window this is; 0 for none.
    WindowHandle windowOfNative(unsigned long native) const;

    bool postMessage(WindowHandle window, unsigned int message, std::uintptr_t wParam,
                     std::intptr_t lParam, const std::optional<KeyStateTable>& keyState = {});
    void postQuitMessage(int exitCode);
    // The oldest message of the calling thread's queue; with its key state when removed.
    std::optional<Queued> peekMessage(bool remove);
    bool hasMessages() const;
    std::size_t pendingMessages() const;
    // Waits until the calling thread's queue holds a message or the time is up.
    bool waitMessage(std::chrono::milliseconds timeout);
    std::intptr_t dispatchMessage(const Message& message);
    // Destroys the window on a close request and marks it painted on a paint message.
    std::intptr_t defWindowProc(WindowHandle window, unsigned int message);

    // These set the invalid-handle error for a handle that is not one of the program's windows.
    bool getWindowRect(WindowHandle window, Rect& rect) const;
    std::optional<unsigned> getWindowStyle(WindowHandle window) const;
    // The window's earlier visibility, nothing for a handle that is not one.
    std::optional<bool> showWindow(WindowHandle window, int command);
    bool setWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y, int width,
                      int height, unsigned flags);
    bool setTitle(WindowHandle window, const std::string& title);
    // The first top-level window of that class; 0 for none.
    WindowHandle findWindow(const std::string& className) const;

    // The window was painted: no paint message is due any more.
    void validate(WindowHandle window);
    // The backend window was exposed: its window is due a paint.
    void scheduleNativePaint(unsigned long native);

private:
    Window* find(WindowHandle window);
    const Window* find(WindowHandle window) const;
    void enqueue(std::thread::id thread, Queued queued);
    void schedulePaint(WindowHandle handle, Window& window);
    WindowHandle insert(Window window);

    Errors& errors_;
    Backend ownBackend_;
    Backend& backend_;
    mutable std::mutex mutex_;
    // Wakes the threads waiting for their queues whenever a message is queued.
    std::condition_variable queued_;
    std::map<std::string, WindowClass> classes_;
    std::map<WindowHandle, Window> windows_;
    std::map<std::thread::id, std::deque<Queued>> queues_;
    WindowHandle nextHandle_ = 0x10010;
};

}  // namespace os::common
