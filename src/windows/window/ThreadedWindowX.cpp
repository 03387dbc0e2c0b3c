#include "windows/window/ThreadedWindowX.h"

#include "platform/assertion/Assertion.h"
#include "windows/window/WindowExceptions.h"

#include <thread>

namespace windows::window {

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
        createdSemaphore.release(1);

        startSemaphore.acquire();
        if (!stopRequested && _windowX) {
            _started = true;
            _windowX->show(false);
            while (!stopRequested) {
                _windowX->pumpMessages();
                std::this_thread::sleep_for(pollInterval);
            }
            _started = false;
        }
        _windowX.reset();
    } catch (...) {
        PX_ASSERT(false);
        _windowX.reset();
    }
}

}  // namespace windows::window
