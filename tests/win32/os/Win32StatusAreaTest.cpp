#include "os/win32/Win32StatusArea.h"

#include <string>
#include <windows.h>
// The shell's header builds on the types of the one above.
#include <shellapi.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace os::win32 {
namespace {

constexpr int IconId = 100;

class Win32StatusAreaTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(statusArea.hearsShellRestart()); }
    void TearDown() override {
        ::DestroyWindow(reinterpret_cast<HWND>(window));
        ::DestroyWindow(reinterpret_cast<HWND>(other));
    }

    static WindowHandle makeWindow() {
        return reinterpret_cast<WindowHandle>(::CreateWindowExA(
            0, "STATIC", "Pastrix", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
    }

    NotifyIconData icon(WindowHandle owner, unsigned id,
                        std::string tip = "Click to open Pastrix") {
        NotifyIconData data;
        data.window = owner;
        data.id = id;
        data.flags = nif::Message | nif::Icon | nif::Tip;
        data.callbackMessage = WM_APP + 4;
        data.icon = statusArea.loadIcon(IconId);
        data.tip = std::move(tip);
        return data;
    }

    // Asks the shell itself, behind the status area's back, to take an icon away: true when
    // the shell had it.
    static bool shellHad(WindowHandle owner, unsigned id) {
        NOTIFYICONDATAA record{};
        record.cbSize = NOTIFYICONDATAA_V1_SIZE;
        record.hWnd = reinterpret_cast<HWND>(owner);
        record.uID = id;
        return ::Shell_NotifyIconA(NIM_DELETE, &record) != FALSE;
    }

    // What a restarted shell sends every top-level window. The status area's window belongs to
    // this thread, so this thread handles it.
    static void broadcastTaskbarCreated() {
        ASSERT_TRUE(
            ::PostMessageA(HWND_BROADCAST, ::RegisterWindowMessageA("TaskbarCreated"), 0, 0));
        const DWORD end = ::GetTickCount() + 200;
        do {
            MSG message;
            while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                ::DispatchMessageA(&message);
            }
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        } while (static_cast<LONG>(end - ::GetTickCount()) > 0);
    }

    Win32StatusArea statusArea;
    WindowHandle window = makeWindow();
    WindowHandle other = makeWindow();
};

TEST_F(Win32StatusAreaTest, TheProgramsIconLoadsAtTheSystemsSizeAndAMissingOneFails) {
    const IconHandle loaded = statusArea.loadIcon(IconId);
    ASSERT_NE(loaded, 0U) << "error " << ::GetLastError();
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(reinterpret_cast<HICON>(loaded), &info));
    BITMAP bitmap{};
    ASSERT_NE(::GetObjectA(info.hbmColor, sizeof bitmap, &bitmap), 0) << "a colour icon";
    EXPECT_EQ(bitmap.bmWidth, ::GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(bitmap.bmHeight, ::GetSystemMetrics(SM_CYICON));
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    // Every move to the status area loads the icon again, at no new handle's cost.
    EXPECT_EQ(statusArea.loadIcon(IconId), loaded);

    // Windows says the name is missing; Wine says so of the icon resources' type.
    const auto noSuchResource = testing::AnyOf(static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND),
                                               static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
    for (const int missing : {101, 0, -1, 0x10000}) {
        ::SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(statusArea.loadIcon(missing), 0U) << missing;
        EXPECT_THAT(::GetLastError(), noSuchResource) << missing;
    }
}

TEST_F(Win32StatusAreaTest, AnIconIsAddedAndDeletedOnceAndBadRecordsNeverReachTheShell) {
    // Wine's shell takes icons whether or not an X dock runs.
    const NotifyIconData data = icon(window, IconId);
    ASSERT_TRUE(statusArea.notifyIcon(nim::Add, data)) << "error " << ::GetLastError();
    EXPECT_FALSE(statusArea.notifyIcon(nim::Add, data));
    EXPECT_NE(::GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    ASSERT_TRUE(statusArea.notifyIcon(nim::Delete, data));
    EXPECT_FALSE(statusArea.notifyIcon(nim::Delete, data));
    EXPECT_NE(::GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    // Only 63 characters fit the record; the rest is cut, not written past its end.
    ASSERT_TRUE(statusArea.notifyIcon(nim::Add, icon(window, IconId, std::string(300, 'x'))));
    EXPECT_TRUE(statusArea.notifyIcon(nim::Delete, data));

    NotifyIconData wrongSize = data;
    wrongSize.size = 104;
    NotifyIconData balloon = data;
    balloon.flags |= 0x10;
    NotifyIconData noWindow = data;
    noWindow.window = 0;
    EXPECT_FALSE(statusArea.notifyIcon(1, data));  // a modification
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(statusArea.notifyIcon(nim::Add, wrongSize));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(statusArea.notifyIcon(nim::Add, balloon));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(statusArea.notifyIcon(nim::Add, noWindow));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    // Neither now nor after a shell restart.
    EXPECT_FALSE(shellHad(window, IconId));
    EXPECT_FALSE(shellHad(0, IconId));
    broadcastTaskbarCreated();
    EXPECT_FALSE(shellHad(window, IconId));
}

TEST_F(Win32StatusAreaTest, ARestartedShellGetsBackTheIconsAddedAndNotDeleted) {
    ASSERT_TRUE(statusArea.notifyIcon(nim::Add, icon(window, IconId)));
    ASSERT_TRUE(statusArea.notifyIcon(nim::Add, icon(other, IconId)));
    ASSERT_TRUE(statusArea.notifyIcon(nim::Add, icon(window, IconId + 1)));
    ASSERT_TRUE(statusArea.notifyIcon(nim::Delete, icon(window, IconId + 1)));
    // The shell forgets the icons, as a restarted Explorer starts empty; asking again shows
    // that it tells a missing icon from a present one.
    EXPECT_TRUE(shellHad(window, IconId));
    EXPECT_TRUE(shellHad(other, IconId));
    EXPECT_FALSE(shellHad(window, IconId));

    broadcastTaskbarCreated();
    EXPECT_TRUE(shellHad(window, IconId));
    EXPECT_TRUE(shellHad(other, IconId));
    EXPECT_FALSE(shellHad(window, IconId + 1)) << "a deleted icon came back";

    // An icon the shell still shows stays, once.
    ASSERT_TRUE(statusArea.notifyIcon(nim::Add, icon(window, IconId + 2)));
    broadcastTaskbarCreated();
    EXPECT_TRUE(statusArea.notifyIcon(nim::Delete, icon(window, IconId + 2)));
    EXPECT_FALSE(shellHad(window, IconId + 2));
    EXPECT_TRUE(statusArea.notifyIcon(nim::Delete, icon(window, IconId)));
}

}  // namespace
}  // namespace os::win32
