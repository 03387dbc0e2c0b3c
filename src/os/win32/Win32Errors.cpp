#include "os/win32/Win32Errors.h"

#include <windows.h>

namespace os::win32 {

int Win32Errors::lastError() const {
    return static_cast<int>(::GetLastError());
}

void Win32Errors::setLastError(int code) {
    ::SetLastError(static_cast<DWORD>(code));
}

std::optional<std::string> Win32Errors::messageText(int code) const {
    // Looking the text up must not change the error the caller is reporting.
    const DWORD saved = ::GetLastError();
    char* buffer = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
        reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::optional<std::string> text;
    if (length != 0 && buffer != nullptr) {
        text.emplace(buffer, length);
        // The system's texts end in a line break; one that does not gets it, as callers
        // append nothing.
        if (text->empty() || text->back() != '\n') {
            *text += "\r\n";
        }
    }
    if (buffer != nullptr) {
        ::LocalFree(buffer);
    }
    ::SetLastError(saved);
    return text;
}

}  // namespace os::win32
