#pragma once

#include "os/Errors.h"
#include "os/Hooks.h"

#include <mutex>
#include <set>

namespace os::x11 {

// The hooks of the X11 desktop. X has no hook procedures that run in other programs: the hook
// library watches the whole session itself once its initializer is called, so installing a
// hook only hands out a handle for the library to be told about, and the procedures are never
// called. The checks of a real installation still apply, so that a program that gets them
// wrong fails here as it would elsewhere.
class X11Hooks final : public Hooks {
public:
    explicit X11Hooks(Errors& errors);

    HookHandle setWindowsHookEx(int type, HookProcedure procedure, ModuleHandle module,
                                ThreadId thread) override;
    bool unhookWindowsHookEx(HookHandle hook) override;
    // There is no chain of procedures to pass an event on to.
    std::intptr_t callNextHookEx(HookHandle hook, int code, std::uintptr_t wParam,
                                 std::intptr_t lParam) override;

private:
    Errors& errors_;
    std::mutex mutex_;
    std::set<HookHandle> hooks_;
    HookHandle nextHandle_ = 0x10001;
};

}  // namespace os::x11
