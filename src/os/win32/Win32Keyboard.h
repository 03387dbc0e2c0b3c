#pragma once

#include "os/Keyboard.h"

#include <cstdint>
#include <string>

namespace os::win32 {

// Key state and the current keyboard layout through the system's own calls. The key state is
// the calling thread's, as its input queue has seen the keys so far.
class Win32Keyboard final : public Keyboard {
public:
    short getKeyState(int virtualKey) const override;
    bool getKeyboardState(KeyStateTable& keyState) const override;
    unsigned mapVirtualKey(unsigned code, unsigned mapType) const override;
    int getKeyNameText(std::uint32_t keyData, std::string& name, int bufferSize) const override;
    int toAscii(unsigned virtualKey, unsigned scanCode, const KeyStateTable& keyState,
                AsciiBuffer& characters, unsigned flags) override;
    short vkKeyScan(char character) const override;
};

}  // namespace os::win32
