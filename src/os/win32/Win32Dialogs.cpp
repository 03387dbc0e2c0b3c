#include "os/win32/Win32Dialogs.h"

#include <windows.h>

namespace os::win32 {

int Win32Dialogs::messageBox(WindowHandle owner, const std::string& text,
                             const std::string& caption, unsigned style) {
    ::SetLastError(ERROR_SUCCESS);
    const int answer =
        ::MessageBoxA(reinterpret_cast<HWND>(owner), text.c_str(), caption.c_str(), style);
    // Windows answers a box that could not be shown with 0, Wine with -1; no button is either.
    if (answer <= 0) {
        if (::GetLastError() == ERROR_SUCCESS) {
            ::SetLastError(ERROR_INVALID_PARAMETER);
        }
        return 0;
    }
    return answer;
}

}  // namespace os::win32
