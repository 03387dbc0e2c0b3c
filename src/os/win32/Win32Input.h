#pragma once

#include "os/Input.h"

#include <cstdint>

namespace os::win32 {

// Key events synthesised with SendInput: they enter the desktop's input stream, pass the
// keyboard hooks and reach the foreground window like the user's own keys. Each event returns
// once the application in front has handled it (within a bound), so that what the program
// does next follows what the application did with the key.
class Win32Input final : public Input {
public:
    void keybdEvent(std::uint8_t virtualKey, std::uint8_t scanCode, unsigned flags,
                    std::uintptr_t extraInfo) override;
};

}  // namespace os::win32
