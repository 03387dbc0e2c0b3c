#pragma once

#include "os/Windows.h"

#include <map>
#include <mutex>

namespace os::win32 {

// The system's windows and message queues. Classes are registered with one window procedure
// of the system's own calling convention that hands each message to the procedure the
// program gave for the window's class.
class Win32Windows final : public Windows {
public:
    Win32Windows() = default;
    ~Win32Windows() override;
    Win32Windows(const Win32Windows&) = delete;
    Win32Windows& operator=(const Win32Windows&) = delete;

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

    // The program's procedure for a class, by the class's atom; nullptr for classes
    // registered elsewhere.
    static WindowProcedure procedureOf(unsigned short atom);

private:
    struct RegisteredClass {
        unsigned short atom = 0;
        std::uintptr_t brush = 0;
    };

    // Registered classes by name and instance, to undo at unregistering and at the end.
    std::map<std::pair<std::string, InstanceHandle>, RegisteredClass> classes_;
    std::mutex mutex_;
};

}  // namespace os::win32
