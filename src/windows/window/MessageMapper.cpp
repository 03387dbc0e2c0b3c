#include "windows/window/MessageMapper.h"

#include "os/Port.h"
#include "platform/assertion/Assertion.h"

namespace windows::window {

MessageMapper& MessageMapper::instance() {
    static MessageMapper mapper;
    return mapper;
}

std::intptr_t MessageMapper::routingProcedure(os::WindowHandle windowHandle, unsigned int message,
                                              std::uintptr_t wParam, std::intptr_t lParam) {
    return instance().dispatch(windowHandle, message, wParam, lParam);
}

bool MessageMapper::exists(os::WindowHandle windowHandle) const {
    std::lock_guard lock(mutex);
    return listeners.count(windowHandle) != 0;
}

void MessageMapper::add(os::WindowHandle windowHandle, MessageListener* listener) {
    PX_ASSERT(windowHandle != 0);
    PX_ASSERT(exists(windowHandle) == false);
    std::lock_guard lock(mutex);
    listeners[windowHandle] = listener;
}

void MessageMapper::remove(os::WindowHandle windowHandle) {
    PX_ASSERT(windowHandle != 0);
    PX_ASSERT(exists(windowHandle));
    std::lock_guard lock(mutex);
    listeners.erase(windowHandle);
}

std::intptr_t MessageMapper::dispatch(os::WindowHandle windowHandle, unsigned int message,
                                      std::uintptr_t wParam, std::intptr_t lParam) {
    PX_ASSERT(windowHandle != 0);
    MessageListener* ml = nullptr;
    {
        std::lock_guard lock(mutex);
        const auto found = listeners.find(windowHandle);
        if (found == listeners.end()) {
            // Messages that arrive before the route exists, such as creation, get the
            // default handling.
            return os::windows().defWindowProc(windowHandle, message, wParam, lParam);
        }
        ml = found->second;
    }
    if (!ml) {
        PX_ASSERT(ml);
        return os::windows().defWindowProc(windowHandle, message, wParam, lParam);
    }
    return ml->handleMessage(windowHandle, message, wParam, lParam);
}

}  // namespace windows::window
