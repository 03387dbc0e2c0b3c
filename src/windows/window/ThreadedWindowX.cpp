#include "windows/window/ThreadedWindowX.h"

#include "os/Port.h"
#include "platform/assertion/Assertion.h"
#include "windows/window/WindowExceptions.h"

#include <thread>

namespace windows::window {

namespace {

// A stop posts a message that ends the wait; the bound only keeps a lost wake-up from
// holding the thread for ever.
constexpr std::chrono::seconds IdleWaitBound{1};

}  // namespace

ThreadedWindowX::ThreadedWindowX(WindowXFactory& windowFactory, std::chrono::milliseconds interval)
    : ThreadImpl(static_cast<platform::thread::Runnable&>(*this)),
      factory(windowFactory),
      pollInterval(interval) {
    PX_ASSERT(_started == false);
    start();
    createdSemaphore.acquire();
    if (creationFailed) {
        stopRequested = true;
        join();
        throw WindowXException(creationError);
    }
}

ThreadedWindowX::~ThreadedWindowX() {
    stopRequested = true;
    // A thread still waiting to start wakes up, sees the stop and ends.
    startSemaphore.release(1);
    wake();
    join();
}

WindowX* ThreadedWindowX::getWindowX() const {
    PX_ASSERT(_windowX != 0);
    return _windowX.get();
}

void ThreadedWindowX::startLoop() {
    PX_ASSERT(_started == false);
    startSemaphore.release(1);
}

void ThreadedWindowX::stop() {
    stopRequested = true;
    wake();
}

void ThreadedWindowX::wake() {
    const os::WindowHandle handle = windowHandle;
    if (handle != 0) {
        // Fails harmlessly when the window has gone already.
        os::windows().postMessage(handle, os::wm::Null, 0, 0);
    }
}

void ThreadedWindowX::run() {
    try {
        PX_ASSERT(_windowX == 0);
        try {
            _windowX = factory.create();
        } catch (const WindowXException& e) {
            creationFailed = true;
            creationError = e.getMessage();
            createdSemaphore.release(1);
            return;
        } catch (...) {
            // Any other failure must still wake the owner, which waits for the window.
            PX_ASSERT(false);
            creationFailed = true;
            creationError = "The window could not be created.";
            createdSemaphore.release(1);
            return;
        }
        PX_ASSERT(_windowX != 0);
        threadId = currentThreadId();
        windowHandle = _windowX ? _windowX->getHandle() : 0;
        createdSemaphore.release(1);

        startSemaphore.acquire();
        if (!stopRequested && _windowX) {
            _started = true;
            _windowX->show(false);
            while (!stopRequested) {
                if (!_windowX->waitMessage(IdleWaitBound) || stopRequested) {
                    continue;
                }
                _windowX->pumpMessages();
                // Keeps the pace of at most one message per interval.
                std::this_thread::sleep_for(pollInterval);
            }
            _started = false;
        }
        windowHandle = 0;
        _windowX.reset();
    } catch (...) {
        PX_ASSERT(false);
        _windowX.reset();
    }
}

}  // namespace windows::window
