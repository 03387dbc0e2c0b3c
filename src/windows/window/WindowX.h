#pragma once

#include "os/Types.h"
#include "windows/window/MessageListener.h"

#include <chrono>
#include <cstdint>

namespace windows::window {

// A window the program makes itself.
class WindowX {
public:
    // Routes this window's messages to the listener.
    virtual void registerListener(MessageListener* listener) = 0;
    virtual void unregisterListener() = 0;
    // Handles at most one waiting message of the calling thread; never waits. Returns the
    // dispatch result, or 0 when the queue was empty.
    virtual std::intptr_t pumpMessages() = 0;
    // Blocks until the calling thread's queue holds a message or the time is up; true when a
    // message waits. Handles nothing.
    virtual bool waitMessage(std::chrono::milliseconds timeout) = 0;
    virtual int getWidth() const = 0;
    virtual int getHeight() const = 0;
    virtual os::WindowHandle getHandle() const = 0;
    virtual bool isVisible() const = 0;
    // Showing also brings the window to the front.
    virtual void show(bool visible) = 0;
    virtual ~WindowX() = default;
};

}  // namespace windows::window
