#include "os/win32/Win32Input.h"

#include <windows.h>

namespace os::win32 {

void Win32Input::keybdEvent(std::uint8_t virtualKey, std::uint8_t scanCode, unsigned flags,
                            std::uintptr_t extraInfo) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = scanCode;
    // Only the flags the port names: the others would change what the event means (a scan
    // code without a key, a Unicode character).
    if ((flags & keyeventf::ExtendedKey) != 0) {
        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    }
    if ((flags & keyeventf::KeyUp) != 0) {
        input.ki.dwFlags |= KEYEVENTF_KEYUP;
    }
    input.ki.dwExtraInfo = extraInfo;
    // The last error tells why when the system refuses the event.
    SendInput(1, &input, sizeof(INPUT));
}

}  // namespace os::win32
