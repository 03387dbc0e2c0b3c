#include "windows/devices/keyboard/KeyHelper.h"

#include "os/Keyboard.h"
#include "os/Port.h"
#include "platform/assertion/Assertion.h"
#include "platform/errorresources/SystemErrors.h"
#include "windows/devices/keyboard/KeyException.h"
#include "windows/devices/keyboard/VirtualKeyCodes.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace windows::devices::keyboard::KeyHelper {

namespace {

constexpr int KeyNameBufferSize = 255;

const std::array<const char*, 18> keyName = {
    "Browser Back key",
    "Browser Forward key",
    "Browser Refresh key",
    "Browser Stop key",
    "Browser Search",
    "Browser Favorites",
    "Browser Start and Home",
    "Volume Mute",
    "Volume Down",
    "Volume Up",
    "Next Track",
    "Previous Track",
    "Stop Media",
    "Play/Pause Media",
    "Start Mail",
    "Select Media",
    "Start Application 1",
    "Start Application 2",
};

// Keys whose scan code alone names another key: Cancel, the navigation block, Print Screen,
// Insert, Delete, the Windows and Applications keys, the pad's Divide and Num Lock.
constexpr unsigned extendedKeys[] = {3,  33, 34, 35, 36, 37, 38,  39, 40,
                                     44, 45, 46, 91, 92, 93, 111, 144};

}  // namespace

char getAscii(unsigned virtualKey, unsigned scanCode) {
    os::KeyStateTable keyState{};
    if (!os::keyboard().getKeyboardState(keyState)) {
        throw KeyException("Can't get the ascii for virtualkey, scancode: " +
                           std::to_string(virtualKey) + ", " + std::to_string(scanCode) + "\n" +
                           platform::errorresources::SystemErrors::map(os::errors().lastError()));
    }
    os::AsciiBuffer buffer{};
    int result = os::keyboard().toAscii(virtualKey, scanCode, keyState, buffer, 0);
    if (result == 2) {
        // A dead key and a character it did not combine with: the layout has let go of the
        // dead key now, so asking again gives the character alone.
        result = os::keyboard().toAscii(virtualKey, scanCode, keyState, buffer, 0);
    }
    if (result == 0) {
        throw KeyException("The key has no ascii translation. Virtual key: " +
                           std::to_string(virtualKey));
    }
    const unsigned key = buffer[0];
    PX_ASSERT(key < 256);
    return static_cast<char>(key & 0xFFU);
}

bool isMediaKey(unsigned virtualKey) {
    return virtualKey >= VirtualKeyCodes::VKEY_BROWSER_BACK &&
           virtualKey <= VirtualKeyCodes::VKEY_LAUNCH_APP2;
}

std::string getMediaKeyName(unsigned virtualKey) {
    PX_ASSERT(virtualKey >= VirtualKeyCodes::VKEY_BROWSER_BACK &&
              virtualKey <= VirtualKeyCodes::VKEY_LAUNCH_APP2);
    const std::size_t index = virtualKey - VirtualKeyCodes::VKEY_BROWSER_BACK;
    PX_ASSERT(index < keyName.size());
    return index < keyName.size() ? keyName[index] : "";
}

std::string getKeyName(unsigned virtualKey) {
    // The report quotes the condition as written here.
    // clang-format off
    PX_ASSERT(virtualKey >=1 && virtualKey <= 254);
    // clang-format on
    if (isMediaKey(virtualKey)) {
        return getMediaKeyName(virtualKey);
    }
    unsigned scan = os::keyboard().mapVirtualKey(virtualKey, os::mapvk::VkToScanCode);
    if (std::find(std::begin(extendedKeys), std::end(extendedKeys), virtualKey) !=
        std::end(extendedKeys)) {
        scan |= 256;
    }
    std::string name;
    if (os::keyboard().getKeyNameText(scan * 65536, name, KeyNameBufferSize) <= 0) {
        return "";
    }
    return name;
}

}  // namespace windows::devices::keyboard::KeyHelper
