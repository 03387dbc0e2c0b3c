#pragma once

#include "os/Hooks.h"

namespace os::win32 {

// The desktop's hooks. The keyboard and mouse hooks are installed as the system's low-level
// hooks: they see the input of every application, 32-bit and 64-bit alike, without the hook
// library being loaded into any of them, and end with the program. Their procedures run on
// the installing thread, which must keep handling its messages.
class Win32Hooks final : public Hooks {
public:
    HookHandle setWindowsHookEx(int type, HookProcedure procedure, ModuleHandle module,
                                ThreadId thread) override;
    bool unhookWindowsHookEx(HookHandle hook) override;
    std::intptr_t callNextHookEx(HookHandle hook, int code, std::uintptr_t wParam,
                                 std::intptr_t lParam) override;

    // The system's hook type for the program's.
    static int systemHookType(int type);
    // The thread that holds a low-level keyboard hook of this process, 0 when none does.
    static unsigned long lowLevelKeyboardThread();

private:
    struct Installed;
    static Installed& installed();
};

}  // namespace os::win32
