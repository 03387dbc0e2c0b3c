#include "os/win32/Win32Shell.h"

#include <objbase.h>
#include <shellapi.h>
#include <windows.h>

namespace os::win32 {

namespace {

// The shell may hand the request to an extension that needs COM on the calling thread;
// a thread that has COM already keeps its own apartment.
class ComScope {
public:
    ComScope()
        : initialized_(SUCCEEDED(
              ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ComScope() {
        if (initialized_) {
            ::CoUninitialize();
        }
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool initialized_;
};

// The shell's small failure codes are the system's error codes too, so the last error says
// the same as the result.
void keepFailure(std::intptr_t result) {
    if (result <= ShellExecuteFailureLimit) {
        const DWORD code = result == 0                ? ERROR_NOT_ENOUGH_MEMORY
                           : result == SE_ERR_NOASSOC ? ERROR_NO_ASSOCIATION
                                                      : static_cast<DWORD>(result);
        if (::GetLastError() == ERROR_SUCCESS) {
            ::SetLastError(code);
        }
    }
}

}  // namespace

std::intptr_t Win32Shell::shellExecute(WindowHandle owner, const std::string& operation,
                                       const std::string& file, int showCommand) {
    const ComScope com;
    ::SetLastError(ERROR_SUCCESS);
    const auto result = reinterpret_cast<std::intptr_t>(::ShellExecuteA(
        reinterpret_cast<HWND>(owner), operation.empty() ? nullptr : operation.c_str(),
        file.c_str(), nullptr, nullptr, showCommand));
    keepFailure(result);
    return result;
}

long Win32Shell::navigate(const std::wstring& address) {
    const ComScope com;
    ::SetLastError(ERROR_SUCCESS);
    const auto result = reinterpret_cast<std::intptr_t>(
        ::ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    keepFailure(result);
    return result > ShellExecuteFailureLimit ? SOk : EFail;
}

}  // namespace os::win32
