#include "os/ErrorCodes.h"
#include "os/Hooks.h"
#include "os/Keyboard.h"
#include "os/sim/SimSystemCalls.h"
#include "support/SimDesktopTest.h"

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using SimHooksTest = testing_support::SimDesktopTest;

// What the procedures below saw, in order.
std::vector<std::string> seen;
os::HookHandle firstHook = 0;
os::HookHandle secondHook = 0;

std::intptr_t firstProcedure(int code, std::uintptr_t wParam, std::intptr_t lParam) {
    seen.push_back("first " + std::to_string(wParam));
    return SimCallNextHookEx(firstHook, code, wParam, lParam);
}

std::intptr_t secondProcedure(int code, std::uintptr_t wParam, std::intptr_t lParam) {
    seen.push_back("second " + std::to_string(wParam));
    if (wParam == os::wm::LButtonUp) {
        const auto* mouse = reinterpret_cast<const os::MouseHookStruct*>(lParam);
        seen.push_back("at " + std::to_string(mouse->point.x) + "," +
                       std::to_string(mouse->point.y));
    }
    return SimCallNextHookEx(secondHook, code, wParam, lParam) + 1;
}

TEST_F(SimHooksTest, EventsRunThroughTheChainNewestFirst) {
    seen.clear();
    const os::ModuleHandle module = 1;
    firstHook = desktop.hooks.setWindowsHookEx(os::wh::Keyboard, &firstProcedure, module, 0);
    secondHook = desktop.hooks.setWindowsHookEx(os::wh::Keyboard, &secondProcedure, module, 0);
    ASSERT_NE(firstHook, 0U);
    ASSERT_NE(secondHook, 0U);
    desktop.input.userKey('Q', true);
    EXPECT_EQ(seen, (std::vector<std::string>{"second 81", "first 81"}));

    // A hook of the other type sees only its own events.
    seen.clear();
    ASSERT_TRUE(desktop.hooks.unhookWindowsHookEx(secondHook));
    secondHook = desktop.hooks.setWindowsHookEx(os::wh::Mouse, &secondProcedure, module, 0);
    desktop.windows.setCursorPos(os::Point{40, 30});
    desktop.input.userLeftButton(true);
    desktop.input.userLeftButton(false);
    desktop.input.userKey('Q', false);
    EXPECT_EQ(seen, (std::vector<std::string>{"second 513", "second 514", "at 40,30", "first 81"}));
    EXPECT_TRUE(desktop.hooks.unhookWindowsHookEx(firstHook));
    EXPECT_TRUE(desktop.hooks.unhookWindowsHookEx(secondHook));
}

TEST_F(SimHooksTest, InstallationsAndRemovalsTheSystemRefuses) {
    struct Case {
        const char* what;
        int type;
        os::HookProcedure procedure;
        os::ModuleHandle module;
        os::ThreadId thread;
        int error;
    };
    const Case cases[] = {
        {"a type the desktop has no events for", 13, &firstProcedure, 1, 0,
         os::error::InvalidHookFilter},
        {"no procedure", os::wh::Keyboard, nullptr, 1, 0, os::error::InvalidFilterProc},
        {"a desktop-wide hook without its module", os::wh::Mouse, &firstProcedure, 0, 0,
         os::error::HookNeedsHmod},
        {"one thread's hook", os::wh::Keyboard, &firstProcedure, 1, 42, os::error::NotSupported},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(desktop.hooks.setWindowsHookEx(c.type, c.procedure, c.module, c.thread), 0U);
        EXPECT_EQ(desktop.errors.lastError(), c.error);
    }
    EXPECT_FALSE(desktop.hooks.unhookWindowsHookEx(0x1234));
    EXPECT_EQ(desktop.errors.lastError(), os::error::InvalidHookHandle);
    EXPECT_EQ(desktop.hooks.installedHooks(os::wh::Keyboard), 0U);
    EXPECT_EQ(desktop.hooks.installedHooks(os::wh::Mouse), 0U);
}

TEST_F(SimHooksTest, SharedSectionsAreTheSameBytesForTheSameName) {
    auto* first = static_cast<unsigned char*>(SimSharedSection("facts", 16));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(std::memcmp(first, std::vector<unsigned char>(16).data(), 16), 0);
    first[3] = 7;
    EXPECT_EQ(SimSharedSection("facts", 8), first);
    EXPECT_EQ(static_cast<unsigned char*>(SimSharedSection("facts", 16))[3], 7);
    EXPECT_EQ(SimSharedSection("facts", 17), nullptr);
    EXPECT_NE(SimSharedSection("other facts", 16), first);
    EXPECT_EQ(SimSharedSection("", 16), nullptr);
}

}  // namespace
