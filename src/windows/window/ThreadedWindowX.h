#pragma once

#include "platform/Semaphore.h"
#include "platform/thread/Runnable.h"
#include "platform/thread/ThreadImpl.h"
#include "windows/window/WindowXFactory.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <string>

namespace windows::window {

// A window that lives on a thread of its own. The constructor returns once the factory made
// the window there (or throws WindowXException with the factory's message); startLoop lets
// the thread handle the window's messages, at most one per poll interval, until stop. With
// no message queued the thread sleeps in a wait for the next one, so an idle window costs no
// processor time.
class ThreadedWindowX : public platform::thread::Runnable, public platform::thread::ThreadImpl {
public:
    ThreadedWindowX(WindowXFactory& factory, std::chrono::milliseconds pollInterval);
    ~ThreadedWindowX() override;

    WindowX* getWindowX() const;
    void startLoop();
    void stop();

    // The thread's body; runs on the new thread.
    void run() override;

private:
    // Ends the wait of the thread for its next message, so that it sees a stop at once.
    void wake();

    WindowXFactory& factory;
    std::unique_ptr<WindowX> _windowX;
    std::atomic<std::uint64_t> threadId{0};
    // The window's handle for waking its thread from any other; 0 until the window exists.
    std::atomic<os::WindowHandle> windowHandle{0};
    std::atomic<bool> _started{false};
    std::atomic<bool> stopRequested{false};
    bool creationFailed = false;
    std::string creationError;
    platform::Semaphore createdSemaphore{0, 0x7FFFFFFF};
    platform::Semaphore startSemaphore{0, 0x7FFFFFFF};
    std::chrono::milliseconds pollInterval;
};

}  // namespace windows::window
