#include "os/sim/SimWindows.h"

#include "os/ErrorCodes.h"
#include "os/common/Monitors.h"
#include "os/common/WindowPlacement.h"

#include <algorithm>

namespace os::sim {

namespace {

std::intptr_t defaultProcedure(WindowHandle, unsigned int, std::uintptr_t, std::intptr_t) {
    return 0;
}

}  // namespace

SimWindows::SimWindows(Errors& errors) : errors_(errors) {}

SimWindows::Window* SimWindows::find(WindowHandle window) {
    const auto found = windows_.find(window);
    if (found == windows_.end()) {
        errors_.setLastError(error::InvalidWindowHandle);
        return nullptr;
    }
    return &found->second;
}

const SimWindows::Window* SimWindows::find(WindowHandle window) const {
    return const_cast<SimWindows*>(this)->find(window);
}

void SimWindows::schedulePaint(WindowHandle handle, Window& window) {
    if (window.paintPending || (window.style & ws::Visible) == 0) {
        return;
    }
    window.paintPending = true;
    queues_[window.thread].push_back(Message{handle, wm::Paint, 0, 0});
    queued_.notify_all();
}

bool SimWindows::registerClass(const WindowClass& windowClass) {
    std::lock_guard lock(mutex_);
    if (windowClass.className.empty()) {
        errors_.setLastError(error::InvalidParameter);
        return false;
    }
    if (!classes_.emplace(windowClass.className, windowClass).second) {
        errors_.setLastError(error::ClassAlreadyExists);
        return false;
    }
    return true;
}

bool SimWindows::unregisterClass(const std::string& className, InstanceHandle /*instance*/) {
    std::lock_guard lock(mutex_);
    if (classes_.erase(className) == 0) {
        errors_.setLastError(error::ClassDoesNotExist);
        return false;
    }
    return true;
}

WindowHandle SimWindows::createWindow(const WindowCreation& creation) {
    WindowHandle handle = 0;
    WindowProcedure procedure = nullptr;
    {
        std::lock_guard lock(mutex_);
        const auto windowClass = classes_.find(creation.className);
        if (windowClass == classes_.end()) {
            errors_.setLastError(error::ClassDoesNotExist);
            return 0;
        }
        if (creation.parent != 0 && find(creation.parent) == nullptr) {
            return 0;
        }
        Window window;
        window.className = creation.className;
        window.title = creation.title;
        window.style = creation.style;
        window.extendedStyle = creation.extendedStyle;
        window.rect =
            Rect{creation.x, creation.y, creation.x + creation.width, creation.y + creation.height};
        window.parent = creation.parent;
        window.thread = std::this_thread::get_id();
        window.procedure = windowClass->second.procedure != nullptr ? windowClass->second.procedure
                                                                    : &defaultProcedure;
        procedure = window.procedure;
        handle = nextHandle_;
        nextHandle_ += 0x10;
        windows_.emplace(handle, window);
    }
    if (procedure(handle, wm::Create, 0, 0) == -1) {
        std::lock_guard lock(mutex_);
        windows_.erase(handle);
        errors_.setLastError(error::InvalidParameter);
        return 0;
    }
    std::lock_guard lock(mutex_);
    if (Window* window = find(handle)) {
        schedulePaint(handle, *window);
    }
    return handle;
}

bool SimWindows::destroyWindow(WindowHandle window) {
    WindowProcedure procedure = nullptr;
    {
        std::lock_guard lock(mutex_);
        const Window* found = find(window);
        if (found == nullptr) {
            return false;
        }
        procedure = found->procedure;
    }
    procedure(window, wm::Destroy, 0, 0);
    std::lock_guard lock(mutex_);
    windows_.erase(window);
    for (auto& [thread, queue] : queues_) {
        queue.erase(std::remove_if(queue.begin(), queue.end(),
                                   [&](const Message& m) { return m.window == window; }),
                    queue.end());
    }
    if (foreground_ == window) {
        foreground_ = 0;
    }
    if (topmost_ == window) {
        topmost_ = 0;
    }
    return true;
}

bool SimWindows::isWindow(WindowHandle window) const {
    std::lock_guard lock(mutex_);
    return windows_.count(window) != 0;
}

bool SimWindows::postMessage(WindowHandle window, unsigned int message, std::uintptr_t wParam,
                             std::intptr_t lParam) {
    std::lock_guard lock(mutex_);
    const Window* found = find(window);
    if (found == nullptr) {
        return false;
    }
    queues_[found->thread].push_back(Message{window, message, wParam, lParam});
    queued_.notify_all();
    return true;
}

void SimWindows::postQuitMessage(int exitCode) {
    std::lock_guard lock(mutex_);
    queues_[std::this_thread::get_id()].push_back(
        Message{0, wm::Quit, static_cast<std::uintptr_t>(exitCode), 0});
    queued_.notify_all();
}

bool SimWindows::peekMessage(Message& message, bool remove) {
    std::lock_guard lock(mutex_);
    auto& queue = queues_[std::this_thread::get_id()];
    if (queue.empty()) {
        return false;
    }
    message = queue.front();
    if (remove) {
        queue.pop_front();
    }
    return true;
}

bool SimWindows::waitMessage(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    const auto& queue = queues_[std::this_thread::get_id()];
    return queued_.wait_for(lock, timeout, [&queue] { return !queue.empty(); });
}

bool SimWindows::translateMessage(const Message& /*message*/) {
    // Character messages are produced by the simulated applications themselves.
    return false;
}

std::intptr_t SimWindows::dispatchMessage(const Message& message) {
    if (message.window == 0) {
        return 0;
    }
    WindowProcedure procedure = nullptr;
    {
        std::lock_guard lock(mutex_);
        const Window* found = find(message.window);
        if (found == nullptr) {
            return 0;
        }
        procedure = found->procedure;
    }
    return procedure(message.window, message.message, message.wParam, message.lParam);
}

std::intptr_t SimWindows::defWindowProc(WindowHandle window, unsigned int message,
                                        std::uintptr_t /*wParam*/, std::intptr_t /*lParam*/) {
    if (message == wm::Close) {
        destroyWindow(window);
    } else if (message == wm::Paint) {
        validate(window);
    }
    return 0;
}

bool SimWindows::getWindowRect(WindowHandle window, Rect& rect) const {
    std::lock_guard lock(mutex_);
    const Window* found = find(window);
    if (found == nullptr) {
        return false;
    }
    rect = found->rect;
    return true;
}

unsigned SimWindows::getWindowStyle(WindowHandle window) const {
    std::lock_guard lock(mutex_);
    const Window* found = find(window);
    return found == nullptr ? 0 : found->style;
}

bool SimWindows::showWindow(WindowHandle window, int command) {
    std::lock_guard lock(mutex_);
    Window* found = find(window);
    if (found == nullptr) {
        return false;
    }
    const bool wasVisible = (found->style & ws::Visible) != 0;
    if (command == sw::Hide) {
        found->style &= ~ws::Visible;
    } else {
        found->style |= ws::Visible;
        schedulePaint(window, *found);
    }
    return wasVisible;
}

bool SimWindows::setWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y,
                              int width, int height, unsigned flags) {
    std::lock_guard lock(mutex_);
    Window* found = find(window);
    if (found == nullptr) {
        return false;
    }
    common::WindowPlacement::apply(found->rect, found->style, x, y, width, height, flags);
    if ((flags & swp::NoZOrder) == 0 && insertAfter == HwndTopmost) {
        topmost_ = window;
    }
    if ((flags & swp::NoActivate) == 0) {
        foreground_ = window;
    }
    schedulePaint(window, *found);
    return true;
}

bool SimWindows::setForegroundWindow(WindowHandle window) {
    std::lock_guard lock(mutex_);
    if (find(window) == nullptr) {
        return false;
    }
    foreground_ = window;
    return true;
}

WindowHandle SimWindows::getForegroundWindow() const {
    std::lock_guard lock(mutex_);
    return foreground_;
}

int SimWindows::getWindowText(WindowHandle window, std::string& text, int maxCount) const {
    std::lock_guard lock(mutex_);
    const Window* found = find(window);
    if (found == nullptr || maxCount <= 0) {
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
    std::lock_guard lock(mutex_);
    name.clear();
    const Window* found = find(window);
    if (found == nullptr) {
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
    std::lock_guard lock(mutex_);
    for (const auto& [handle, window] : windows_) {
        if (window.className == className && common::WindowPlacement::isTopLevel(window.style)) {
            return handle;
        }
    }
    return 0;
}

bool SimWindows::getCursorPos(Point& position) const {
    std::lock_guard lock(mutex_);
    position = cursor_;
    return true;
}

WindowHandle SimWindows::addWindow(const std::string& title, const std::string& className) {
    std::lock_guard lock(mutex_);
    Window window;
    window.className = className;
    window.title = title;
    window.style = ws::Visible;
    window.rect = Rect{100, 80, 740, 560};
    window.thread = std::this_thread::get_id();
    window.procedure = &defaultProcedure;
    const WindowHandle handle = nextHandle_;
    nextHandle_ += 0x10;
    windows_.emplace(handle, window);
    return handle;
}

void SimWindows::setWindowTitle(WindowHandle window, const std::string& title) {
    std::lock_guard lock(mutex_);
    if (Window* found = find(window)) {
        found->title = title;
    }
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
    std::lock_guard lock(mutex_);
    const auto found = queues_.find(std::this_thread::get_id());
    return found == queues_.end() ? 0 : found->second.size();
}

void SimWindows::validate(WindowHandle window) {
    std::lock_guard lock(mutex_);
    if (Window* found = find(window)) {
        found->paintPending = false;
    }
}

bool SimWindows::isClassRegistered(const std::string& className) const {
    std::lock_guard lock(mutex_);
    return classes_.count(className) != 0;
}

WindowHandle SimWindows::topmostWindow() const {
    std::lock_guard lock(mutex_);
    return topmost_;
}

}  // namespace os::sim
