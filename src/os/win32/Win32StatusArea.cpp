#include "os/win32/Win32StatusArea.h"

#include <algorithm>
#include <cstring>
#include <vector>
#include <windows.h>
// The shell's header builds on the types of the one above.
#include <shellapi.h>

namespace os::win32 {

namespace {

constexpr unsigned KnownFlags = nif::Message | nif::Icon | nif::Tip;

LRESULT CALLBACK listen(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* statusArea =
        reinterpret_cast<Win32StatusArea*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    // The message's number is the same for every window of the session, registered once.
    static const UINT taskbarCreated = ::RegisterWindowMessageA("TaskbarCreated");
    if (statusArea != nullptr && taskbarCreated != 0 && message == taskbarCreated) {
        statusArea->addIconsAgain();
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

// The shell reads only the first version's fields, which hold everything the program sets.
NOTIFYICONDATAA toRecord(const NotifyIconData& data) {
    NOTIFYICONDATAA record{};
    record.cbSize = NOTIFYICONDATAA_V1_SIZE;
    record.hWnd = reinterpret_cast<HWND>(data.window);
    record.uID = data.id;
    record.uFlags = data.flags;
    record.uCallbackMessage = data.callbackMessage;
    record.hIcon = reinterpret_cast<HICON>(data.icon);
    const std::size_t length = std::min(data.tip.size(), NotifyIconData::MaxTipLength);
    std::memcpy(record.szTip, data.tip.data(), length);
    record.szTip[length] = '\0';
    return record;
}

bool notifyShell(DWORD operation, const NotifyIconData& data) {
    NOTIFYICONDATAA record = toRecord(data);
    ::SetLastError(ERROR_SUCCESS);
    if (::Shell_NotifyIconA(operation, &record) != FALSE) {
        return true;
    }
    // The shell may refuse without saying why; the caller still needs a code to report.
    if (::GetLastError() == ERROR_SUCCESS) {
        ::SetLastError(static_cast<DWORD>(E_FAIL));
    }
    return false;
}

}  // namespace

Win32StatusArea::Win32StatusArea() {
    const HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSEXA description{};
    description.cbSize = sizeof description;
    description.lpfnWndProc = &listen;
    description.hInstance = instance;
    description.lpszClassName = ListenerClassName;
    // Another status area of the process registered the same class with the same procedure.
    if (::RegisterClassExA(&description) == 0 && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return;
    }
    // Not a message-only window: those get no broadcasts. Never shown, so never seen.
    const HWND window = ::CreateWindowExA(0, ListenerClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                                          nullptr, instance, this);
    listener_ = reinterpret_cast<WindowHandle>(window);
}

Win32StatusArea::~Win32StatusArea() {
    if (listener_ != 0) {
        ::DestroyWindow(reinterpret_cast<HWND>(listener_));
    }
    // Fails, harmlessly, while another status area's window still uses the class.
    ::UnregisterClassA(ListenerClassName, ::GetModuleHandleA(nullptr));
}

bool Win32StatusArea::notifyIcon(unsigned operation, const NotifyIconData& data) {
    if ((operation != nim::Add && operation != nim::Delete) ||
        data.size != NotifyIconData::RecordSize || (data.flags & ~KnownFlags) != 0) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    // The icon's clicks go to its window; without one there is nobody to tell.
    if (data.window == 0) {
        ::SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    // The shell is called without the lock: it may send the listener messages meanwhile.
    const bool done = notifyShell(operation == nim::Add ? NIM_ADD : NIM_DELETE, data);
    const DWORD error = ::GetLastError();
    {
        std::lock_guard lock(mutex_);
        const Key key{data.window, data.id};
        if (operation == nim::Add && done) {
            NotifyIconData kept = data;
            kept.tip.resize(std::min(kept.tip.size(), NotifyIconData::MaxTipLength));
            icons_[key] = std::move(kept);
        } else if (operation == nim::Delete) {
            // An icon asked away must not come back with the next shell, even if the shell
            // refused this deletion.
            icons_.erase(key);
        }
    }
    ::SetLastError(error);
    return done;
}

void Win32StatusArea::addIconsAgain() {
    std::vector<NotifyIconData> icons;
    {
        std::lock_guard lock(mutex_);
        for (const auto& [key, data] : icons_) {
            icons.push_back(data);
        }
    }
    // An icon the shell still shows refuses to be added twice, and stays.
    for (const NotifyIconData& data : icons) {
        notifyShell(NIM_ADD, data);
    }
}

IconHandle Win32StatusArea::loadIcon(int resourceId) {
    // Resource numbers are 16 bits, and 0 would be read as a name.
    if (resourceId <= 0 || resourceId > 0xFFFF) {
        ::SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return 0;
    }
    const HANDLE icon =
        ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId), IMAGE_ICON, 0, 0,
                     LR_DEFAULTCOLOR | LR_DEFAULTSIZE | LR_SHARED);
    return reinterpret_cast<IconHandle>(icon);
}

}  // namespace os::win32
