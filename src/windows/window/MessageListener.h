#pragma once

#include "os/Types.h"

#include <cstdint>

namespace windows::window {

// Handles the messages of one window.
class MessageListener {
public:
    virtual ~MessageListener() = default;
    virtual std::intptr_t handleMessage(os::WindowHandle windowHandle, unsigned int message,
                                        std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

}  // namespace windows::window
