#pragma once

#include <cstdint>

namespace os {

// Handles are opaque numbers, as on the system the program was designed for; 0 is "none".
using WindowHandle = std::uintptr_t;
using MemoryHandle = std::uintptr_t;
using FindHandle = std::uintptr_t;
using ThreadId = std::uint32_t;

// A window message as it travels through a queue.
struct Message {
    WindowHandle window = 0;
    unsigned int message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

}  // namespace os
