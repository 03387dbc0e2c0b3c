#pragma once

#include "os/Errors.h"
#include "os/Windows.h"
#include "os/common/WindowEngine.h"

#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace os::sim {

// The windows of the simulated desktop. Each window belongs to the thread that created it,
// each thread has its own message queue, and window procedures run on the calling thread
// without any lock held, so they may call back into the desktop. Calls on another thread's
// window take effect at once (the real system forwards them and waits).
class SimWindows final : public Windows {
public:
    explicit SimWindows(Errors& errors);

    bool registerClass(const WindowClass& windowClass) override;
    bool unregisterClass(const std::string& className, InstanceHandle instance) override;
    WindowHandle createWindow(const WindowCreation& creation) override;
    bool destroyWindow(WindowHandle window) override;
    bool isWindow(WindowHandle window) const override;

    bool postMessage(WindowHandle window, unsigned int message, std::uintptr_t wParam,
                     std::intptr_t lParam) override;
    void postQuitMessage(int exitCode) override;
    bool peekMessage(Message& message, bool remove) override;
    bool waitMessage(std::chrono::milliseconds timeout) override;
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
    bool getMonitorRect(const Point& point, Rect& monitor) const override;

    // What the test plays: another application's window and the pointer.
    // A visible top-level window of the calling thread with the given title, handled by the
    // default procedure.
    WindowHandle addWindow(const std::string& title = "",
                           const std::string& className = "SimApplicationWindow");
    void setWindowTitle(WindowHandle window, const std::string& title);
    void setCursorPos(Point position);
    // The desktop's monitors; one of 1024 x 768 (the simulated screen) at the start. None
    // stands for a system that cannot tell.
    void setMonitors(std::vector<Rect> monitors);
    // Takes the oldest message of the calling thread's queue.
    std::optional<Message> takeMessage();
    std::size_t pendingMessages() const;
    // Marks the window painted; the painter calls it when painting begins.
    void validate(WindowHandle window);
    bool isClassRegistered(const std::string& className) const;
    // The window that was last placed on top of the Z order with setWindowPos.
    WindowHandle topmostWindow() const;

private:
    Errors& errors_;
    common::WindowEngine engine_;
    // Guards what the desktop adds to the engine's windows.
    mutable std::mutex mutex_;
    WindowHandle foreground_ = 0;
    WindowHandle topmost_ = 0;
    Point cursor_;
    std::vector<Rect> monitors_{Rect{0, 0, 1024, 768}};
};

}  // namespace os::sim
