#include "windows/devices/keyboard/Keyboard.h"

#include "os/Input.h"
#include "os/Keyboard.h"
#include "os/Port.h"
#include "platform/assertion/Assertion.h"

namespace windows::devices::keyboard::Keyboard {

void sendKey(unsigned virtualKey, unsigned flags, std::uintptr_t extraInfo) {
    const auto virtualkey = static_cast<std::uint8_t>(virtualKey & 0xFFU);
    PX_ASSERT(virtualkey >= 1 && virtualkey <= 254);
    const auto scanCode = static_cast<std::uint8_t>(
        os::keyboard().mapVirtualKey(virtualkey, os::mapvk::VkToScanCode));
    os::input().keybdEvent(virtualkey, scanCode, flags, extraInfo);
}

void pressKey(unsigned virtualkey) {
    sendKey(virtualkey, 0, 0);
}

void releaseKey(unsigned virtualkey) {
    sendKey(virtualkey, os::keyeventf::KeyUp, 0);
}

}  // namespace windows::devices::keyboard::Keyboard
