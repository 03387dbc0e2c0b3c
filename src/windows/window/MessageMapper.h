#pragma once

#include "os/Types.h"
#include "windows/window/MessageListener.h"

#include <cstdint>
#include <map>
#include <mutex>

namespace windows::window {

// Routes the messages of the program's own windows to their listeners. One instance lives
// for the whole process; windows add their route once they exist and remove it before they
// go.
class MessageMapper {
public:
    static MessageMapper& instance();

    // The window procedure of windows whose messages go through the mapper.
    static std::intptr_t routingProcedure(os::WindowHandle windowHandle, unsigned int message,
                                          std::uintptr_t wParam, std::intptr_t lParam);

    void add(os::WindowHandle windowHandle, MessageListener* listener);
    void remove(os::WindowHandle windowHandle);
    // The listener's result, or the default handling for windows without a route.
    std::intptr_t dispatch(os::WindowHandle windowHandle, unsigned int message,
                           std::uintptr_t wParam, std::intptr_t lParam);
    bool exists(os::WindowHandle windowHandle) const;

private:
    MessageMapper() = default;

    // Guards the routes only; listeners run without it, so they may add or remove routes.
    mutable std::mutex mutex;
    std::map<os::WindowHandle, MessageListener*> listeners;
};

}  // namespace windows::window
