#pragma once

#include "os/Types.h"

#include <string>

namespace windows::window {

// The window's title, at most 1023 characters. A window without a title gives the empty
// text; so does a window that no longer exists when ignoreInvalidHandle is set. Any other
// failure throws CouldNotGetWindowTitleException.
std::string getWindowTitle(os::WindowHandle windowHandle, bool ignoreInvalidHandle);

}  // namespace windows::window
