#pragma once

#include <cstdint>

namespace os {

// Flags of keybdEvent.
namespace keyeventf {
inline constexpr unsigned ExtendedKey = 0x0001;
inline constexpr unsigned KeyUp = 0x0002;
}  // namespace keyeventf

// Synthesised input: events that go into the desktop's input stream as if the user had made
// them, reaching the hooks and the application in front in the order they were sent.
class Input {
public:
    virtual ~Input() = default;

    // One key event: the virtual key, its hardware scan code, keyeventf flags and a value the
    // receivers can read back.
    virtual void keybdEvent(std::uint8_t virtualKey, std::uint8_t scanCode, unsigned flags,
                            std::uintptr_t extraInfo) = 0;
};

}  // namespace os
