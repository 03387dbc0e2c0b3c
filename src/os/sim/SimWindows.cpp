#include "os/sim/SimWindows.h"

#include "os/ErrorCodes.h"

namespace os::sim {

SimWindows::SimWindows(Errors& errors) : errors_(errors) {}

bool SimWindows::postMessage(WindowHandle window, unsigned int message, std::uintptr_t wParam,
                             std::intptr_t lParam) {
    std::lock_guard lock(mutex_);
    const auto found = windows_.find(window);
    if (found == windows_.end()) {
        errors_.setLastError(error::InvalidWindowHandle);
        return false;
    }
    queues_[found->second].push_back(Message{window, message, wParam, lParam});
    return true;
}

bool SimWindows::isWindow(WindowHandle window) const {
    std::lock_guard lock(mutex_);
    return windows_.count(window) != 0;
}

WindowHandle SimWindows::createWindow() {
    std::lock_guard lock(mutex_);
    const WindowHandle handle = nextHandle_;
    nextHandle_ += 0x10;
    windows_.emplace(handle, std::this_thread::get_id());
    return handle;
}

void SimWindows::destroyWindow(WindowHandle window) {
    std::lock_guard lock(mutex_);
    windows_.erase(window);
}

std::optional<Message> SimWindows::takeMessage() {
    std::lock_guard lock(mutex_);
    auto& queue = queues_[std::this_thread::get_id()];
    if (queue.empty()) {
        return std::nullopt;
    }
    Message message = queue.front();
    queue.pop_front();
    return message;
}

std::size_t SimWindows::pendingMessages() const {
    std::lock_guard lock(mutex_);
    const auto found = queues_.find(std::this_thread::get_id());
    return found == queues_.end() ? 0 : found->second.size();
}

}  // namespace os::sim
