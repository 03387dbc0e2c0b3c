#include "os/ScopedInstall.h"
#include "os/win32/Win32Errors.h"
#include "os/win32/Win32Hooks.h"
#include "os/win32/Win32Input.h"
#include "os/win32/Win32Keyboard.h"
#include "os/win32/Win32Libraries.h"
#include "os/win32/Win32Threads.h"
#include "windows/hook/HookException.h"
#include "windows/hook/HookLibrary.h"
#include "windows/hook/KeyboardHook.h"
#include "windows/hook/MouseHook.h"

#include <chrono>
#include <optional>
#include <vector>
#include <windows.h>

#include <gtest/gtest.h>

namespace {

using windows::hook::KeyEventMessage;

const std::string Library = PASTRIX_PROGRAM_DIR "/clipboard.dll";

struct KeyEvent {
    unsigned virtualKey;
    bool released;
    bool controlDown;
};

std::vector<KeyEvent> events;
os::Keyboard* keyboardForProcedure = nullptr;

LRESULT CALLBACK recordKeys(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == KeyEventMessage) {
        events.push_back(KeyEvent{static_cast<unsigned>(wParam),
                                  !windows::hook::keydata::isPress(lParam),
                                  (keyboardForProcedure->getKeyState(VK_CONTROL) & 0x8000) != 0});
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

// The program's own hook objects on the system's hooks and the shipped hook library: what the
// settings window's System page starts.
class Win32HooksTest : public testing::Test {
protected:
    void SetUp() override {
        os::Port port;
        port.errors = &errors;
        port.libraries = &libraries;
        port.hooks = &hooks;
        port.threads = &threads;
        port.keyboard = &keyboard;
        port.input = &input;
        installation.emplace(port);
        keyboardForProcedure = &keyboard;
        events.clear();

        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &recordKeys;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "PastrixWin32HooksTest";
        ::RegisterClassA(&windowClass);
        window = ::CreateWindowExA(0, "PastrixWin32HooksTest", "hooks", WS_POPUP, 0, 0, 10, 10,
                                   nullptr, nullptr, windowClass.hInstance, nullptr);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        ::DestroyWindow(window);
        ::UnregisterClassA("PastrixWin32HooksTest", ::GetModuleHandleA(nullptr));
    }

    // Low-level hook procedures run while the installing thread handles its messages.
    void pumpUntil(std::size_t count,
                   std::chrono::milliseconds timeout = std::chrono::milliseconds(5000)) {
        const auto until = std::chrono::steady_clock::now() + timeout;
        MSG msg;
        while (events.size() < count && std::chrono::steady_clock::now() < until) {
            while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                ::DispatchMessageA(&msg);
            }
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }

    // Each event is handled before the next is made, as when a person types: the state a
    // handler reads is the state as of its own event.
    void tap(std::uint8_t virtualKey, unsigned flags = 0) {
        const std::size_t before = events.size();
        input.keybdEvent(virtualKey, 0, flags, 0);
        pumpUntil(before + 1);
    }

    os::win32::Win32Errors errors;
    os::win32::Win32Libraries libraries;
    os::win32::Win32Hooks hooks;
    os::win32::Win32Threads threads;
    os::win32::Win32Keyboard keyboard;
    os::win32::Win32Input input;
    std::optional<os::ScopedInstall> installation;
    HWND window = nullptr;
};

TEST_F(Win32HooksTest, TheKeyboardHookReportsEachKeyWithItsStateToTheStartedWindow) {
    windows::hook::KeyboardHook hook(Library);
    hook.start(reinterpret_cast<os::WindowHandle>(window));
    tap(VK_CONTROL);
    tap('K');
    tap('K', os::keyeventf::KeyUp);
    tap(VK_CONTROL, os::keyeventf::KeyUp);
    hook.stop();

    ASSERT_EQ(events.size(), 4U);
    EXPECT_EQ(events[0].virtualKey, static_cast<unsigned>(VK_CONTROL));
    EXPECT_FALSE(events[0].released);
    EXPECT_EQ(events[1].virtualKey, static_cast<unsigned>('K'));
    EXPECT_TRUE(events[1].controlDown);
    EXPECT_TRUE(events[2].released);
    EXPECT_TRUE(events[3].released);
    EXPECT_FALSE(events[3].controlDown);

    // Once stopped, nothing more is reported.
    events.clear();
    input.keybdEvent('K', 0, 0, 0);
    input.keybdEvent('K', 0, os::keyeventf::KeyUp, 0);
    pumpUntil(1, std::chrono::milliseconds(300));
    EXPECT_TRUE(events.empty());
}

TEST_F(Win32HooksTest, ASecondHookOfTheSameKindIsRefusedWhileTheFirstRuns) {
    windows::hook::KeyboardHook first(Library);
    first.start(reinterpret_cast<os::WindowHandle>(window));
    EXPECT_THROW(windows::hook::KeyboardHook second(Library), windows::hook::HookException);
    // The mouse hook is a kind of its own.
    windows::hook::MouseHook mouse(Library);
    mouse.start(reinterpret_cast<os::WindowHandle>(window));
    mouse.stop();
    first.stop();
    windows::hook::KeyboardHook again(Library);
}

}  // namespace
