#pragma once

#include "os/StatusArea.h"
#include "os/Types.h"

#include <chrono>
#include <string>

namespace windows::window {

// How often a notification-area call is tried, and the wait after each failure: the shell
// may still be starting when the program does.
inline constexpr int StatusAreaTries = 8;
inline constexpr std::chrono::milliseconds StatusAreaRetryWait{1000};

// Shows or removes the program's icon in the notification area. Throws StatusAreaException
// when every try failed.
void addStatusAreaIcon(os::WindowHandle window, os::IconHandle icon, unsigned id,
                       unsigned callbackMessage, const std::string& tip);
void removeStatusAreaIcon(os::WindowHandle window, os::IconHandle icon, unsigned id,
                          unsigned callbackMessage, const std::string& tip);
void notifyStatusArea(unsigned operation, os::WindowHandle window, os::IconHandle icon, unsigned id,
                      unsigned callbackMessage, const std::string& tip);

// An icon of the program's own resources at the system's default size. Throws
// windows::graphics::WindowsGraphicsException when there is none.
os::IconHandle loadIcon(int resourceId);

}  // namespace windows::window
