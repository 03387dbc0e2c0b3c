#pragma once

#include "os/Types.h"

#include <cstdint>

namespace os {

inline constexpr unsigned int WmApp = 0x8000;

// Windows and their message queues.
class Windows {
public:
    virtual ~Windows() = default;

    // Queues a message for the window's thread and returns at once; false when the window
    // does not exist (error::InvalidWindowHandle) or its queue cannot take it.
    virtual bool postMessage(WindowHandle window, unsigned int message, std::uintptr_t wParam,
                             std::intptr_t lParam) = 0;
    virtual bool isWindow(WindowHandle window) const = 0;
};

}  // namespace os
