#include "os/win32/Win32Hooks.h"

#include <map>
#include <mutex>
#include <windows.h>

namespace os::win32 {

// The low-level keyboard hooks of the process and the threads they run on.
struct Win32Hooks::Installed {
    std::mutex mutex;
    std::map<HookHandle, DWORD> keyboard;
};

Win32Hooks::Installed& Win32Hooks::installed() {
    static Installed hooks;
    return hooks;
}

unsigned long Win32Hooks::lowLevelKeyboardThread() {
    Installed& hooks = installed();
    const std::lock_guard<std::mutex> lock(hooks.mutex);
    return hooks.keyboard.empty() ? 0UL : hooks.keyboard.begin()->second;
}

int Win32Hooks::systemHookType(int type) {
    switch (type) {
        case wh::Keyboard:
            return WH_KEYBOARD_LL;
        case wh::Mouse:
            return WH_MOUSE_LL;
        default:
            return type;
    }
}

HookHandle Win32Hooks::setWindowsHookEx(int type, HookProcedure procedure, ModuleHandle module,
                                        ThreadId thread) {
    const int systemType = systemHookType(type);
    const bool lowLevel = systemType == WH_KEYBOARD_LL || systemType == WH_MOUSE_LL;
    // A low-level hook belongs to no thread: it sees the whole desktop.
    const DWORD threadId = lowLevel ? 0 : thread;
    const HHOOK hook = ::SetWindowsHookExA(systemType, reinterpret_cast<HOOKPROC>(procedure),
                                           reinterpret_cast<HINSTANCE>(module), threadId);
    if (hook != nullptr && systemType == WH_KEYBOARD_LL) {
        Installed& hooks = installed();
        const std::lock_guard<std::mutex> lock(hooks.mutex);
        hooks.keyboard[reinterpret_cast<HookHandle>(hook)] = GetCurrentThreadId();
    }
    return reinterpret_cast<HookHandle>(hook);
}

bool Win32Hooks::unhookWindowsHookEx(HookHandle hook) {
    if (::UnhookWindowsHookEx(reinterpret_cast<HHOOK>(hook)) == FALSE) {
        return false;
    }
    Installed& hooks = installed();
    const std::lock_guard<std::mutex> lock(hooks.mutex);
    hooks.keyboard.erase(hook);
    return true;
}

std::intptr_t Win32Hooks::callNextHookEx(HookHandle hook, int code, std::uintptr_t wParam,
                                         std::intptr_t lParam) {
    return ::CallNextHookEx(reinterpret_cast<HHOOK>(hook), code, wParam, lParam);
}

}  // namespace os::win32
