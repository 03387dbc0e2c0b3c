#include "os/x11/X11Hooks.h"

#include "os/ErrorCodes.h"
#include "os/common/HookRequest.h"

namespace os::x11 {

X11Hooks::X11Hooks(Errors& errors) : errors_(errors) {}

HookHandle X11Hooks::setWindowsHookEx(int type, HookProcedure procedure, ModuleHandle module,
                                      ThreadId thread) {
    // The library watches the whole session; it cannot watch one thread.
    const int failure = common::HookRequest::check(type, procedure, module, thread);
    if (failure != error::Success) {
        errors_.setLastError(failure);
        return 0;
    }
    std::lock_guard lock(mutex_);
    const HookHandle handle = nextHandle_;
    nextHandle_ += 0x10;
    hooks_.insert(handle);
    return handle;
}

bool X11Hooks::unhookWindowsHookEx(HookHandle hook) {
    std::lock_guard lock(mutex_);
    if (hooks_.erase(hook) == 0) {
        errors_.setLastError(error::InvalidHookHandle);
        return false;
    }
    return true;
}

std::intptr_t X11Hooks::callNextHookEx(HookHandle /*hook*/, int /*code*/, std::uintptr_t /*wParam*/,
                                       std::intptr_t /*lParam*/) {
    return 0;
}

}  // namespace os::x11
