#pragma once

#include <string>

// Names of keys for display, and the characters keys type.
namespace windows::devices::keyboard::KeyHelper {

// The character the key types with the calling thread's current keyboard state; a dead key
// counts as its own character. Throws KeyException when the key types none or the keyboard
// state cannot be read.
char getAscii(unsigned virtualKey, unsigned scanCode);

// The display name of a virtual key (1..254): the media keys from the program's own table,
// every other key as the current keyboard layout names it; empty when the layout has none.
std::string getKeyName(unsigned virtualKey);
// The name of a media key (166..183).
std::string getMediaKeyName(unsigned virtualKey);
bool isMediaKey(unsigned virtualKey);

}  // namespace windows::devices::keyboard::KeyHelper
