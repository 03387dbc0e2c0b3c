#pragma once

#include <cstdint>

// Synthesised key events, sent into the desktop's input stream at once; nothing here waits.
namespace windows::devices::keyboard::Keyboard {

// One key event for the virtual key (its low 8 bits), with the scan code the current layout
// gives it, the keyeventf flags and the extra information unchanged.
void sendKey(unsigned virtualKey, unsigned flags, std::uintptr_t extraInfo);
void pressKey(unsigned virtualkey);
void releaseKey(unsigned virtualkey);

}  // namespace windows::devices::keyboard::Keyboard
