#include "os/ErrorCodes.h"
#include "os/posix/PosixErrors.h"
#include "os/x11/X11Hooks.h"

#include <gtest/gtest.h>

namespace {

std::intptr_t procedure(int, std::uintptr_t, std::intptr_t) {
    return 0;
}

TEST(X11HooksTest, HandsOutHandlesForWellFormedRequestsAndRefusesTheOthers) {
    os::posix::PosixErrors errors;
    os::x11::X11Hooks hooks(errors);
    const os::HookHandle keyboard = hooks.setWindowsHookEx(os::wh::Keyboard, procedure, 1, 0);
    const os::HookHandle mouse = hooks.setWindowsHookEx(os::wh::Mouse, procedure, 1, 0);
    EXPECT_NE(keyboard, 0U);
    EXPECT_NE(mouse, 0U);
    EXPECT_NE(keyboard, mouse);

    struct Refused {
        int type;
        os::HookProcedure procedure;
        os::ModuleHandle module;
        os::ThreadId thread;
        int error;
    };
    const Refused refused[] = {
        {4, procedure, 1, 0, os::error::InvalidHookFilter},
        {os::wh::Keyboard, nullptr, 1, 0, os::error::InvalidFilterProc},
        {os::wh::Keyboard, procedure, 1, 7, os::error::NotSupported},
        {os::wh::Mouse, procedure, 0, 0, os::error::HookNeedsHmod},
    };
    for (const Refused& request : refused) {
        SCOPED_TRACE(request.error);
        errors.setLastError(0);
        EXPECT_EQ(
            hooks.setWindowsHookEx(request.type, request.procedure, request.module, request.thread),
            0U);
        EXPECT_EQ(errors.lastError(), request.error);
    }

    EXPECT_TRUE(hooks.unhookWindowsHookEx(keyboard));
    EXPECT_FALSE(hooks.unhookWindowsHookEx(keyboard));
    EXPECT_EQ(errors.lastError(), os::error::InvalidHookHandle);
    EXPECT_TRUE(hooks.unhookWindowsHookEx(mouse));
}

}  // namespace
