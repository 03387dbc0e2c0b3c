#pragma once

#include "os/Errors.h"
#include "os/Windows.h"

#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

namespace os::sim {

// Windows of the simulated desktop. Each window belongs to the thread that created it, and
// each thread has its own message queue, as on the real system.
class SimWindows final : public Windows {
public:
    explicit SimWindows(Errors& errors);

    bool postMessage(WindowHandle window, unsigned int message, std::uintptr_t wParam,
                     std::intptr_t lParam) override;
    bool isWindow(WindowHandle window) const override;

    // A window owned by the calling thread.
    WindowHandle createWindow();
    void destroyWindow(WindowHandle window);
    // Takes the oldest message of the calling thread's queue.
    std::optional<Message> takeMessage();
    std::size_t pendingMessages() const;

private:
    Errors& errors_;
    mutable std::mutex mutex_;
    std::map<WindowHandle, std::thread::id> windows_;
    std::map<std::thread::id, std::deque<Message>> queues_;
    WindowHandle nextHandle_ = 0x10010;
};

}  // namespace os::sim
