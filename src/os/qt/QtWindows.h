#pragma once

#include "os/Windows.h"

namespace os::qt {

class QtDialogViews;

// The desktop's window system with the Qt dialogs' frames on top: showing, placing and
// bringing to the front a dialog's window acts on its Qt window, and every other call goes
// to the desktop's own window system, which also keeps the dialogs' queues.
class QtWindows final : public Windows {
public:
    QtWindows(Windows& desktop, QtDialogViews& views) : desktop_(desktop), views_(views) {}

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

private:
    Windows& desktop_;
    QtDialogViews& views_;
};

}  // namespace os::qt
