#include "os/win32/Win32Input.h"
#include "os/win32/Win32Keyboard.h"

#include <atomic>
#include <thread>
#include <vector>
#include <windows.h>

#include <gtest/gtest.h>

namespace os::win32 {
namespace {

// What the window saw of one key message, read while it was handled.
struct SeenKey {
    UINT message = 0;
    WPARAM virtualKey = 0;
    LPARAM keyData = 0;
    short keyState = 0;
    LPARAM extraInfo = 0;
};

std::vector<SeenKey>& seenKeys() {
    static std::vector<SeenKey> seen;
    return seen;
}

LRESULT CALLBACK recordKeys(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN ||
        message == WM_SYSKEYUP) {
        seenKeys().push_back(SeenKey{message, wParam, lParam,
                                     Win32Keyboard().getKeyState(static_cast<int>(wParam)),
                                     GetMessageExtraInfo()});
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class Win32InputTest : public ::testing::Test {
protected:
    void SetUp() override {
        seenKeys().clear();
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = recordKeys;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "PastrixInputTestWindow";
        RegisterClassA(&windowClass);
        window_ = CreateWindowExA(0, windowClass.lpszClassName, "Pastrix input test",
                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200, nullptr,
                                  nullptr, windowClass.hInstance, nullptr);
        ASSERT_NE(window_, nullptr);
        SetForegroundWindow(window_);
        SetFocus(window_);
        // The window manager maps the window and hands it the focus some time later.
        for (int i = 0; i < 200 && GetForegroundWindow() != window_; ++i) {
            pump(10);
        }
        ASSERT_EQ(GetForegroundWindow(), window_);
        pump(50);
        seenKeys().clear();
    }

    void TearDown() override {
        DestroyWindow(window_);
        pump(10);
    }

    static void pump(DWORD milliseconds) {
        const DWORD end = GetTickCount() + milliseconds;
        do {
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        } while (static_cast<LONG>(end - GetTickCount()) > 0);
    }

    // Pumps until the window saw `count` key messages, two seconds at most.
    static void awaitKeys(std::size_t count) {
        for (int i = 0; i < 200 && seenKeys().size() < count; ++i) {
            pump(10);
        }
    }

    Win32Input input_;
    HWND window_ = nullptr;
};

TEST_F(Win32InputTest, AKeyPressAndReleaseReachTheFocusedWindowInOrder) {
    input_.keybdEvent('Q', 0x10, 0, 0x50580001);
    input_.keybdEvent('Q', 0x10, keyeventf::KeyUp, 0x50580002);
    awaitKeys(2);

    ASSERT_EQ(seenKeys().size(), 2u);
    const SeenKey& down = seenKeys()[0];
    const SeenKey& up = seenKeys()[1];
    EXPECT_EQ(down.message, UINT{WM_KEYDOWN});
    EXPECT_EQ(down.virtualKey, WPARAM{'Q'});
    EXPECT_EQ((down.keyData >> keydata::ScanCodeShift) & 0xFF, 0x10);
    EXPECT_EQ(down.keyData & keydata::Extended, 0);
    // The key reads as down while its press is handled, and the sender's value comes along.
    EXPECT_LT(down.keyState, 0);
    EXPECT_EQ(down.extraInfo, 0x50580001);

    EXPECT_EQ(up.message, UINT{WM_KEYUP});
    EXPECT_EQ(up.virtualKey, WPARAM{'Q'});
    EXPECT_NE(static_cast<std::uint32_t>(up.keyData) & keydata::Released, 0u);
    EXPECT_GE(up.keyState, 0);
    EXPECT_EQ(up.extraInfo, 0x50580002);
}

TEST_F(Win32InputTest, ExtendedKeysAndHeldModifiersArriveAsSent) {
    input_.keybdEvent(vk::Control, 0x1D, 0, 0);
    input_.keybdEvent(VK_RIGHT, 0x4D, keyeventf::ExtendedKey, 0);
    input_.keybdEvent(VK_RIGHT, 0x4D, keyeventf::ExtendedKey | keyeventf::KeyUp, 0);
    input_.keybdEvent(vk::Control, 0x1D, keyeventf::KeyUp, 0);
    awaitKeys(4);

    ASSERT_EQ(seenKeys().size(), 4u);
    EXPECT_EQ(seenKeys()[0].virtualKey, WPARAM{vk::Control});
    EXPECT_EQ(seenKeys()[1].message, UINT{WM_KEYDOWN});
    EXPECT_EQ(seenKeys()[1].virtualKey, WPARAM{VK_RIGHT});
    EXPECT_NE(seenKeys()[1].keyData & keydata::Extended, 0);
    EXPECT_EQ((seenKeys()[1].keyData >> keydata::ScanCodeShift) & 0xFF, 0x4D);
    EXPECT_EQ(seenKeys()[2].message, UINT{WM_KEYUP});
    EXPECT_NE(seenKeys()[2].keyData & keydata::Extended, 0);
    EXPECT_EQ(seenKeys()[3].message, UINT{WM_KEYUP});
    EXPECT_EQ(seenKeys()[3].virtualKey, WPARAM{vk::Control});
    // Nothing stays held after the test.
    EXPECT_GE(Win32Keyboard().getKeyState(vk::Control), 0);
}

}  // namespace
}  // namespace os::win32

namespace os::win32 {
namespace {

// A window of another thread that takes its time over each key, as an application does that
// pastes in its key handler.
std::atomic<int> slowKeysHandled{0};

LRESULT CALLBACK handleKeysSlowly(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN || message == WM_KEYUP) {
        Sleep(60);
        ++slowKeysHandled;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(Win32InputOtherThreadTest, AKeyEventReturnsOnceTheApplicationInFrontHandledIt) {
    slowKeysHandled = 0;
    std::atomic<HWND> window{nullptr};
    std::atomic<bool> done{false};
    std::thread application([&] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = handleKeysSlowly;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "PastrixSlowKeysWindow";
        RegisterClassA(&windowClass);
        HWND made = CreateWindowExA(0, windowClass.lpszClassName, "Pastrix slow keys",
                                    WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 300, 200, nullptr,
                                    nullptr, windowClass.hInstance, nullptr);
        SetForegroundWindow(made);
        SetFocus(made);
        window = made;
        while (!done) {
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        }
        DestroyWindow(made);
    });
    for (int i = 0; i < 400 && (window == nullptr || GetForegroundWindow() != window); ++i) {
        Sleep(10);
    }
    ASSERT_EQ(GetForegroundWindow(), window.load());
    Sleep(100);
    slowKeysHandled = 0;

    Win32Input input;
    const auto scan = static_cast<std::uint8_t>(MapVirtualKeyA('Q', MAPVK_VK_TO_VSC));
    input.keybdEvent('Q', scan, 0, 0);
    const int afterPress = slowKeysHandled;
    input.keybdEvent('Q', scan, keyeventf::KeyUp, 0);
    const int afterRelease = slowKeysHandled;

    done = true;
    application.join();
    EXPECT_EQ(afterPress, 1);
    EXPECT_EQ(afterRelease, 2);
}

}  // namespace
}  // namespace os::win32
