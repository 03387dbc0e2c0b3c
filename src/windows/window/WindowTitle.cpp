#include "windows/window/WindowTitle.h"

#include "os/ErrorCodes.h"
#include "os/Port.h"
#include "platform/errorresources/SystemErrors.h"
#include "windows/window/WindowExceptions.h"

#include <cstdio>

namespace windows::window {

std::string getWindowTitle(os::WindowHandle windowHandle, bool ignoreInvalidHandle) {
    constexpr int bufferSize = 1024;
    std::string title;
    if (os::windows().getWindowText(windowHandle, title, bufferSize) > 0) {
        return title;
    }
    const int errorCode = os::errors().lastError();
    if (errorCode == os::error::Success) {
        return "";
    }
    if (errorCode == os::error::InvalidWindowHandle && ignoreInvalidHandle) {
        return "";
    }
    char handleText[2 * sizeof(os::WindowHandle) + 1];
    std::snprintf(handleText, sizeof handleText, "%08llX",
                  static_cast<unsigned long long>(windowHandle));
    throw CouldNotGetWindowTitleException(
        std::string("Couldn't get the window text using the 'GetWindowText()' call. The window "
                    "handle ") +
        handleText + ". " + platform::errorresources::SystemErrors::map(errorCode) +
        " Ignoring invalid window handle is " + (ignoreInvalidHandle ? "enabled" : "disabled"));
}

}  // namespace windows::window
