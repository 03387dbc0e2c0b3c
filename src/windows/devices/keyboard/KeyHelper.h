#pragma once

#include <string>

// Names of keys for display.
namespace windows::devices::keyboard::KeyHelper {

// The display name of a virtual key (1..254): the media keys from the program's own table,
// every other key as the current keyboard layout names it; empty when the layout has none.
std::string getKeyName(unsigned virtualKey);
// The name of a media key (166..183).
std::string getMediaKeyName(unsigned virtualKey);
bool isMediaKey(unsigned virtualKey);

}  // namespace windows::devices::keyboard::KeyHelper
