#pragma once

namespace windows::devices::keyboard::VirtualKeyCodes {

// The media and application keys, which the system's layouts do not name.
inline constexpr unsigned VKEY_BROWSER_BACK = 166;
inline constexpr unsigned VKEY_LAUNCH_APP2 = 183;

}  // namespace windows::devices::keyboard::VirtualKeyCodes
