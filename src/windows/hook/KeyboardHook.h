#pragma once

#include "windows/hook/Hook.h"

#include <array>
#include <cstdint>
#include <string>

namespace windows::hook {

// The keyboard hook: every key event of the desktop reaches the started window as a
// KeyEventMessage.
class KeyboardHook : public Hook {
public:
    explicit KeyboardHook(const std::string& filename);

    // Tells the library which virtual keys select a slot (non-zero flags), so that it can keep
    // their gesture taps from the application in front. Nothing happens with a library that
    // cannot.
    void setSlotKeys(const std::array<std::uint8_t, 256>& keys);
    // Tells the library that a gesture's operation is over, or that none runs, so that what
    // it kept of the user's typing meanwhile reaches the application now.
    void releaseTyping();

private:
    SetSlotKeysFunction setSlotKeysEntry = nullptr;
    ReleaseTypingFunction releaseTypingEntry = nullptr;
};

}  // namespace windows::hook
