#include "os/ErrorCodes.h"
#include "os/win32/Win32Windows.h"

#include <cstring>
#include <thread>
#include <vector>
#include <windows.h>

#include <gtest/gtest.h>

namespace {

using os::win32::Win32Windows;

struct Seen {
    os::WindowHandle window;
    unsigned int message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
};

// What the class's procedure saw, on this test's thread.
std::vector<Seen> seen;

std::intptr_t record(os::WindowHandle window, unsigned int message, std::uintptr_t wParam,
                     std::intptr_t lParam) {
    if (message == os::wm::Create || message == os::wm::Destroy || message >= os::WmApp) {
        seen.push_back(Seen{window, message, wParam, lParam});
    }
    if (message == os::WmApp + 7) {
        return 4242;
    }
    return ::DefWindowProcA(reinterpret_cast<HWND>(window), message, wParam, lParam);
}

class Win32WindowsTest : public testing::Test {
protected:
    void SetUp() override {
        seen.clear();
        os::WindowClass windowClass;
        windowClass.className = ClassName;
        windowClass.procedure = &record;
        windowClass.background = 0x00FFFFFF;
        ASSERT_TRUE(windows.registerClass(windowClass));
    }

    os::WindowHandle create(const std::string& title) {
        os::WindowCreation creation;
        creation.className = ClassName;
        creation.title = title;
        creation.style = os::ws::Popup;
        creation.width = 100;
        creation.height = 50;
        return windows.createWindow(creation);
    }

    static constexpr const char* ClassName = "PastrixWin32WindowsTest";
    Win32Windows windows;
};

TEST_F(Win32WindowsTest, ClassesWindowsAndTheirNamesAreTheSystemsAndTheProcedureSeesThemLive) {
    os::WindowClass again;
    again.className = ClassName;
    again.procedure = &record;
    EXPECT_FALSE(windows.registerClass(again));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(os::error::ClassAlreadyExists));

    const os::WindowHandle window = create("Pastrix settings");
    ASSERT_NE(window, 0U);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front().message, os::wm::Create);
    EXPECT_EQ(seen.front().window, window);
    EXPECT_TRUE(windows.isWindow(window));
    // The single-instance check finds the program's window by its class.
    EXPECT_EQ(windows.findWindow(ClassName), window);

    std::string text;
    EXPECT_EQ(windows.getWindowText(window, text, 256), 16);
    EXPECT_EQ(text, "Pastrix settings");
    EXPECT_EQ(windows.getWindowText(window, text, 8), 7);
    EXPECT_EQ(text, "Pastrix");
    std::string name;
    EXPECT_EQ(windows.getClassName(window, name, 256), static_cast<int>(std::strlen(ClassName)));
    EXPECT_EQ(name, ClassName);
    EXPECT_EQ(windows.getWindowStyle(window) & os::ws::Popup, os::ws::Popup);
    os::Rect rect;
    ASSERT_TRUE(windows.getWindowRect(window, rect));
    EXPECT_EQ(rect.right - rect.left, 100);

    const os::WindowHandle untitled = create("");
    EXPECT_EQ(windows.getWindowText(untitled, text, 256), 0);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(os::error::Success));

    ASSERT_TRUE(windows.destroyWindow(window));
    EXPECT_EQ(seen.back().message, os::wm::Destroy);
    EXPECT_FALSE(windows.isWindow(window));
    EXPECT_EQ(windows.getWindowStyle(window), 0U);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(os::error::InvalidWindowHandle));
    EXPECT_EQ(windows.getWindowText(window, text, 256), 0);
    EXPECT_NE(::GetLastError(), static_cast<DWORD>(os::error::Success));
    EXPECT_FALSE(windows.postMessage(window, os::WmApp, 0, 0));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(os::error::InvalidWindowHandle));
    EXPECT_FALSE(windows.postMessage(0, os::WmApp, 0, 0));
    EXPECT_TRUE(windows.destroyWindow(untitled));
    EXPECT_EQ(windows.findWindow(ClassName), 0U);

    EXPECT_TRUE(windows.unregisterClass(ClassName, 0));
    EXPECT_EQ(create("gone"), 0U);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(os::error::ClassDoesNotExist));
    // The fixture's object unregisters nothing twice at its end.
    ASSERT_TRUE(windows.registerClass(again));
}

TEST_F(Win32WindowsTest, PostedMessagesArePeekedTakenDispatchedAndWokenForInOrder) {
    const os::WindowHandle window = create("queue");
    ASSERT_NE(window, 0U);
    os::Message message;
    // Leave nothing of the window's creation in the queue.
    while (windows.peekMessage(message, true)) {
    }
    EXPECT_FALSE(windows.waitMessage(std::chrono::milliseconds(20)));

    ASSERT_TRUE(windows.postMessage(window, os::WmApp + 7, 11, -22));
    ASSERT_TRUE(windows.postMessage(window, os::WmApp + 8, 33, 44));
    ASSERT_TRUE(windows.peekMessage(message, false));
    EXPECT_EQ(message.message, os::WmApp + 7U);
    ASSERT_TRUE(windows.waitMessage(std::chrono::milliseconds(0)));
    ASSERT_TRUE(windows.peekMessage(message, true));
    EXPECT_EQ(message.window, window);
    EXPECT_EQ(message.message, os::WmApp + 7U);
    EXPECT_EQ(message.wParam, 11U);
    EXPECT_EQ(message.lParam, -22);
    seen.clear();
    EXPECT_EQ(windows.dispatchMessage(message), 4242);
    ASSERT_EQ(seen.size(), 1U);
    EXPECT_EQ(seen[0].lParam, -22);
    ASSERT_TRUE(windows.peekMessage(message, true));
    EXPECT_EQ(message.message, os::WmApp + 8U);

    // A message from another thread ends the wait.
    std::thread poster([&] {
        ::Sleep(50);
        windows.postMessage(window, os::WmApp + 9, 0, 0);
    });
    EXPECT_TRUE(windows.waitMessage(std::chrono::milliseconds(5000)));
    poster.join();
    ASSERT_TRUE(windows.peekMessage(message, true));
    EXPECT_EQ(message.message, os::WmApp + 9U);

    windows.postQuitMessage(3);
    ASSERT_TRUE(windows.peekMessage(message, true));
    EXPECT_EQ(message.message, os::wm::Quit);
    EXPECT_EQ(message.wParam, 3U);
    windows.destroyWindow(window);
}

TEST_F(Win32WindowsTest, TheCursorIsOnTheMonitorThatIsFoundForIt) {
    os::Point cursor;
    ASSERT_TRUE(windows.getCursorPos(cursor));
    os::Rect monitor;
    ASSERT_TRUE(windows.getMonitorRect(cursor, monitor));
    EXPECT_GE(cursor.x, monitor.left);
    EXPECT_LT(cursor.x, monitor.right);
    EXPECT_GE(cursor.y, monitor.top);
    EXPECT_LT(cursor.y, monitor.bottom);
    // A point far off the desktop gets the nearest monitor.
    os::Rect nearest;
    ASSERT_TRUE(windows.getMonitorRect(os::Point{-100000, -100000}, nearest));
    EXPECT_GT(nearest.right - nearest.left, 0);
}

}  // namespace
