#include "os/sim/SimWindows.h"

#include "os/ErrorCodes.h"
#include "os/common/Monitors.h"

namespace os::sim {

SimWindows::SimWindows(Errors& errors) : errors_(errors), engine_(errors) {}

bool SimWindows::registerClass(const WindowClass& windowClass) {
    return engine_.registerClass(windowClass);
}

bool SimWindows::unregisterClass(const std::string& className, InstanceHandle /*instance*/) {
    return engine_.unregisterClass(className);
}

WindowHandle SimWindows::createWindow(const WindowCreation& creation) {
    return engine_.createWindow(creation);
}

bool SimWindows::destroyWindow(WindowHandle window) {
    if (!engine_.destroyWindow(window)) {
        return false;
    }
    std::lock_guard lock(mutex_);
    if (foreground_ == window) {
        foreground_ = 0;
    }
    if (topmost_ == window) {
        topmost_ = 0;
    }
    return true;
}

bool SimWindows::isWindow(WindowHandle window) const {
    return engine_.isWindow(window);
}

bool SimWindows::postMessage(WindowHandle window, unsigned int message, std::uintptr_t wParam,
                             std::intptr_t lParam) {
    return engine_.postMessage(window, message, wParam, lParam);
}

void SimWindows::postQuitMessage(int exitCode) {
    engine_.postQuitMessage(exitCode);
}

bool SimWindows::peekMessage(Message& message, bool remove) {
    const auto queued = engine_.peekMessage(remove);
    if (!queued) {
        return false;
    }
    message = queued->message;
    return true;
}

bool SimWindows::waitMessage(std::chrono::milliseconds timeout) {
    return engine_.waitMessage(timeout);
}

bool SimWindows::translateMessage(const Message& /*message*/) {
    // Character messages are produced by the simulated applications themselves.
    return false;
}

std::intptr_t SimWindows::dispatchMessage(const Message& message) {
    return engine_.dispatchMessage(message);
}

std::intptr_t SimWindows::defWindowProc(WindowHandle window, unsigned int message,
                                        std::uintptr_t /*wParam*/, std::intptr_t /*lParam*/) {
    if (message == wm::Close) {
        destroyWindow(window);
        return 0;
    }
    return engine_.defWindowProc(window, message);
}

bool SimWindows::getWindowRect(WindowHandle window, Rect& rect) const {
    return engine_.getWindowRect(window, rect);
}

unsigned SimWindows::getWindowStyle(WindowHandle window) const {
    return engine_.getWindowStyle(window).value_or(0U);
}

bool SimWindows::showWindow(WindowHandle window, int command) {
    return engine_.showWindow(window, command).value_or(false);
}

bool SimWindows::setWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y,
                              int width, int height, unsigned flags) {
    if (!engine_.setWindowPos(window, insertAfter, x, y, width, height, flags)) {
        return false;
    }
    std::lock_guard lock(mutex_);
    if ((flags & swp::NoZOrder) == 0 && insertAfter == HwndTopmost) {
        topmost_ = window;
    }
    if ((flags & swp::NoActivate) == 0) {
        foreground_ = window;
    }
    return true;
}

bool SimWindows::setForegroundWindow(WindowHandle window) {
    if (!engine_.isWindow(window)) {
        errors_.setLastError(error::InvalidWindowHandle);
        return false;
    }
    std::lock_guard lock(mutex_);
    foreground_ = window;
    return true;
}

WindowHandle SimWindows::getForegroundWindow() const {
    std::lock_guard lock(mutex_);
    return foreground_;
}

int SimWindows::getWindowText(WindowHandle window, std::string& text, int maxCount) const {
    const auto found = engine_.window(window);
    if (!found) {
        errors_.setLastError(error::InvalidWindowHandle);
    }
    if (!found || maxCount <= 0) {
        text.clear();
        return 0;
    }
    text = found->title.substr(0, static_cast<std::size_t>(maxCount - 1));
    if (text.empty()) {
        errors_.setLastError(error::Success);
    }
    return static_cast<int>(text.size());
}

int SimWindows::getClassName(WindowHandle window, std::string& name, int maxCount) const {
    name.clear();
    const auto found = engine_.window(window);
    if (!found) {
        errors_.setLastError(error::InvalidWindowHandle);
        return 0;
    }
    if (maxCount <= 0) {
        errors_.setLastError(error::InvalidParameter);
        return 0;
    }
    name = found->className.substr(0, static_cast<std::size_t>(maxCount - 1));
    return static_cast<int>(name.size());
}

WindowHandle SimWindows::findWindow(const std::string& className) const {
    return engine_.findWindow(className);
}

bool SimWindows::getCursorPos(Point& position) const {
    std::lock_guard lock(mutex_);
    position = cursor_;
    return true;
}

WindowHandle SimWindows::addWindow(const std::string& title, const std::string& className) {
    common::WindowEngine::Window window;
    window.className = className;
    window.title = title;
    window.style = ws::Visible;
    window.rect = Rect{100, 80, 740, 560};
    return engine_.addWindow(window);
}

void SimWindows::setWindowTitle(WindowHandle window, const std::string& title) {
    engine_.setTitle(window, title);
}

void SimWindows::setCursorPos(Point position) {
    std::lock_guard lock(mutex_);
    cursor_ = position;
}

bool SimWindows::getMonitorRect(const Point& point, Rect& monitor) const {
    std::lock_guard lock(mutex_);
    const std::optional<Rect> found = common::Monitors::holding(monitors_, point);
    if (!found) {
        errors_.setLastError(error::NotSupported);
        return false;
    }
    monitor = *found;
    return true;
}

void SimWindows::setMonitors(std::vector<Rect> monitors) {
    std::lock_guard lock(mutex_);
    monitors_ = std::move(monitors);
}

std::optional<Message> SimWindows::takeMessage() {
    Message message;
    if (!peekMessage(message, true)) {
        return std::nullopt;
    }
    return message;
}

std::size_t SimWindows::pendingMessages() const {
    return engine_.pendingMessages();
}

void SimWindows::validate(WindowHandle window) {
    engine_.validate(window);
}

bool SimWindows::isClassRegistered(const std::string& className) const {
    return engine_.isClassRegistered(className);
}

WindowHandle SimWindows::topmostWindow() const {
    std::lock_guard lock(mutex_);
    return topmost_;
}

}  // namespace os::sim
