#include "os/common/WindowEngine.h"

#include "os/ErrorCodes.h"
#include "os/common/WindowPlacement.h"

namespace os::common {

namespace {

std::intptr_t defaultProcedure(WindowHandle, unsigned int, std::uintptr_t, std::intptr_t) {
    return 0;
}

}  // namespace

WindowEngine::WindowEngine(Errors& errors, Backend& backend) : errors_(errors), backend_(backend) {}

WindowEngine::WindowEngine(Errors& errors) : errors_(errors), backend_(ownBackend_) {}

WindowEngine::Window* WindowEngine::find(WindowHandle window) {
    const auto found = windows_.find(window);
    if (found == windows_.end()) {
        errors_.setLastError(error::InvalidWindowHandle);
        return nullptr;
    }
    return &found->second;
}

const WindowEngine::Window* WindowEngine::find(WindowHandle window) const {
    return const_cast<WindowEngine*>(this)->find(window);
}

void WindowEngine::enqueue(std::thread::id thread, Queued queued) {
    auto& queue = queues_[thread];
    queue.push_back(std::move(queued));
    if (queue.size() == 1) {
        backend_.queueFilled(thread);
    }
    queued_.notify_all();
}

void WindowEngine::schedulePaint(WindowHandle handle, Window& window) {
    if (window.paintPending || (window.style & ws::Visible) == 0) {
        return;
    }
    window.paintPending = true;
    enqueue(window.thread, Queued{Message{handle, wm::Paint, 0, 0}, std::nullopt});
}

WindowHandle WindowEngine::insert(Window window) {
    const WindowHandle handle = nextHandle_;
    nextHandle_ += 0x10;
    windows_.emplace(handle, std::move(window));
    return handle;
}

bool WindowEngine::registerClass(const WindowClass& windowClass) {
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

bool WindowEngine::unregisterClass(const std::string& className) {
    std::lock_guard lock(mutex_);
    if (classes_.erase(className) == 0) {
        errors_.setLastError(error::ClassDoesNotExist);
        return false;
    }
    return true;
}

bool WindowEngine::isClassRegistered(const std::string& className) const {
    std::lock_guard lock(mutex_);
    return classes_.count(className) != 0;
}

WindowHandle WindowEngine::createWindow(const WindowCreation& creation) {
    WindowClass windowClass;
    {
        std::lock_guard lock(mutex_);
        const auto found = classes_.find(creation.className);
        if (found == classes_.end()) {
            errors_.setLastError(error::ClassDoesNotExist);
            return 0;
        }
        windowClass = found->second;
        if (creation.parent != 0 && windows_.count(creation.parent) == 0 &&
            !backend_.acceptsParent(creation.parent)) {
            errors_.setLastError(error::InvalidWindowHandle);
            return 0;
        }
    }
    // Made before the window is known, so no other thread meets it without its backend window.
    const std::optional<unsigned long> native = backend_.attach(creation, windowClass);
    if (!native) {
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
    window.procedure = windowClass.procedure != nullptr ? windowClass.procedure : &defaultProcedure;
    window.native = *native;
    const WindowProcedure procedure = window.procedure;
    WindowHandle handle = 0;
    {
        std::lock_guard lock(mutex_);
        handle = insert(std::move(window));
    }
    if (procedure(handle, wm::Create, 0, 0) == -1) {
        destroyWindow(handle);
        errors_.setLastError(error::InvalidParameter);
        return 0;
    }
    std::lock_guard lock(mutex_);
    if (Window* created = find(handle); created != nullptr && created->native == 0) {
        schedulePaint(handle, *created);
    }
    return handle;
}

WindowHandle WindowEngine::addWindow(Window window) {
    std::lock_guard lock(mutex_);
    window.thread = std::this_thread::get_id();
    if (window.procedure == nullptr) {
        window.procedure = &defaultProcedure;
    }
    return insert(std::move(window));
}

bool WindowEngine::destroyWindow(WindowHandle window) {
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
    Window removed;
    {
        std::lock_guard lock(mutex_);
        const auto found = windows_.find(window);
        if (found == windows_.end()) {
            return true;  // the procedure destroyed it itself
        }
        removed = std::move(found->second);
        windows_.erase(found);
        for (auto& [thread, queue] : queues_) {
            const bool held = !queue.empty();
            std::erase_if(queue, [&](const Queued& q) { return q.message.window == window; });
            if (held && queue.empty()) {
                backend_.queueEmptied(thread);
            }
        }
    }
    if (removed.native != 0) {
        backend_.detach(removed);
    }
    return true;
}

bool WindowEngine::isWindow(WindowHandle window) const {
    std::lock_guard lock(mutex_);
    return windows_.count(window) != 0;
}

std::optional<WindowEngine::Window> WindowEngine::window(WindowHandle window) const {
    std::lock_guard lock(mutex_);
    const auto found = windows_.find(window);
    if (found == windows_.end()) {
        return std::nullopt;
    }
    return found->second;
}

WindowHandle WindowEngine::windowOfNative(unsigned long native) const {
    if (native == 0) {
        return 0;
    }
    std::lock_guard lock(mutex_);
    for (const auto& [handle, window] : windows_) {
        if (window.native == native) {
            return handle;
        }
    }
    return 0;
}

bool WindowEngine::postMessage(WindowHandle window, unsigned int message, std::uintptr_t wParam,
                               std::intptr_t lParam, const std::optional<KeyStateTable>& keyState) {
    std::lock_guard lock(mutex_);
    const Window* found = find(window);
    if (found == nullptr) {
        return false;
    }
    enqueue(found->thread, Queued{Message{window, message, wParam, lParam}, keyState});
    return true;
}

void WindowEngine::postQuitMessage(int exitCode) {
    std::lock_guard lock(mutex_);
    enqueue(std::this_thread::get_id(),
            Queued{Message{0, wm::Quit, static_cast<std::uintptr_t>(exitCode), 0}, std::nullopt});
}

std::optional<WindowEngine::Queued> WindowEngine::peekMessage(bool remove) {
    std::lock_guard lock(mutex_);
    const auto thread = std::this_thread::get_id();
    auto& queue = queues_[thread];
    if (queue.empty()) {
        return std::nullopt;
    }
    if (!remove) {
        return Queued{queue.front().message, std::nullopt};
    }
    Queued taken = std::move(queue.front());
    queue.pop_front();
    if (queue.empty()) {
        backend_.queueEmptied(thread);
    }
    return taken;
}

bool WindowEngine::hasMessages() const {
    return pendingMessages() != 0;
}

std::size_t WindowEngine::pendingMessages() const {
    std::lock_guard lock(mutex_);
    const auto found = queues_.find(std::this_thread::get_id());
    return found == queues_.end() ? 0 : found->second.size();
}

bool WindowEngine::waitMessage(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    const auto& queue = queues_[std::this_thread::get_id()];
    return queued_.wait_for(lock, timeout, [&queue] { return !queue.empty(); });
}

std::intptr_t WindowEngine::dispatchMessage(const Message& message) {
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

std::intptr_t WindowEngine::defWindowProc(WindowHandle window, unsigned int message) {
    if (message == wm::Close) {
        destroyWindow(window);
    } else if (message == wm::Paint) {
        validate(window);
    }
    return 0;
}

bool WindowEngine::getWindowRect(WindowHandle window, Rect& rect) const {
    std::lock_guard lock(mutex_);
    const Window* found = find(window);
    if (found == nullptr) {
        return false;
    }
    rect = found->rect;
    return true;
}

std::optional<unsigned> WindowEngine::getWindowStyle(WindowHandle window) const {
    std::lock_guard lock(mutex_);
    const Window* found = find(window);
    if (found == nullptr) {
        return std::nullopt;
    }
    return found->style;
}

std::optional<bool> WindowEngine::showWindow(WindowHandle window, int command) {
    std::lock_guard lock(mutex_);
    Window* found = find(window);
    if (found == nullptr) {
        return std::nullopt;
    }
    const bool wasVisible = (found->style & ws::Visible) != 0;
    if (command == sw::Hide) {
        found->style &= ~ws::Visible;
    } else {
        found->style |= ws::Visible;
    }
    if (found->native != 0) {
        backend_.shown(*found, command);
    } else if (command != sw::Hide) {
        schedulePaint(window, *found);
    }
    return wasVisible;
}

bool WindowEngine::setWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y,
                                int width, int height, unsigned flags) {
    std::lock_guard lock(mutex_);
    Window* found = find(window);
    if (found == nullptr) {
        return false;
    }
    WindowPlacement::apply(found->rect, found->style, x, y, width, height, flags);
    if (found->native != 0) {
        backend_.placed(*found, flags, insertAfter);
    } else {
        schedulePaint(window, *found);
    }
    return true;
}

bool WindowEngine::setTitle(WindowHandle window, const std::string& title) {
    std::lock_guard lock(mutex_);
    Window* found = find(window);
    if (found == nullptr) {
        return false;
    }
    found->title = title;
    return true;
}

WindowHandle WindowEngine::findWindow(const std::string& className) const {
    std::lock_guard lock(mutex_);
    for (const auto& [handle, window] : windows_) {
        if (window.className == className && WindowPlacement::isTopLevel(window.style)) {
            return handle;
        }
    }
    return 0;
}

void WindowEngine::validate(WindowHandle window) {
    std::lock_guard lock(mutex_);
    if (Window* found = find(window)) {
        found->paintPending = false;
    }
}

void WindowEngine::scheduleNativePaint(unsigned long native) {
    std::lock_guard lock(mutex_);
    for (auto& [handle, window] : windows_) {
        if (window.native == native) {
            schedulePaint(handle, window);
            return;
        }
    }
}

}  // namespace os::common
