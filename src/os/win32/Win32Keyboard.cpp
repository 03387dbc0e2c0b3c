#include "os/win32/Win32Keyboard.h"

#include <type_traits>
#include <vector>
#include <windows.h>

namespace os::win32 {

// The tables are handed to the system as they are.
static_assert(sizeof(KeyStateTable) == 256);
static_assert(sizeof(AsciiBuffer) == 2 * sizeof(WORD));
static_assert(std::is_same_v<AsciiBuffer::value_type, WORD>);

short Win32Keyboard::getKeyState(int virtualKey) const {
    return GetKeyState(virtualKey);
}

bool Win32Keyboard::getKeyboardState(KeyStateTable& keyState) const {
    return GetKeyboardState(keyState.data()) != FALSE;
}

unsigned Win32Keyboard::mapVirtualKey(unsigned code, unsigned mapType) const {
    return MapVirtualKeyA(code, mapType);
}

int Win32Keyboard::getKeyNameText(std::uint32_t keyData, std::string& name, int bufferSize) const {
    name.clear();
    if (bufferSize <= 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::vector<char> buffer(static_cast<std::size_t>(bufferSize), '\0');
    const int length = GetKeyNameTextA(static_cast<LONG>(keyData), buffer.data(), bufferSize);
    if (length <= 0) {
        return 0;
    }
    name.assign(buffer.data(), static_cast<std::size_t>(length));
    return length;
}

int Win32Keyboard::toAscii(unsigned virtualKey, unsigned scanCode, const KeyStateTable& keyState,
                           AsciiBuffer& characters, unsigned flags) {
    return ToAscii(virtualKey, scanCode, keyState.data(), characters.data(), flags);
}

short Win32Keyboard::vkKeyScan(char character) const {
    return VkKeyScanA(character);
}

}  // namespace os::win32
