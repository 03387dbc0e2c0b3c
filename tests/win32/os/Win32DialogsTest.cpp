#include "os/win32/Win32Dialogs.h"

#include <string>
#include <thread>
#include <windows.h>

#include <gtest/gtest.h>

namespace os::win32 {
namespace {

// What a person at the screen saw of a box before pressing one of its buttons.
struct SeenBox {
    HWND owner = nullptr;
    std::string text;
    bool hasOk = false;
    bool hasNo = false;
};

// Waits on its own thread, five seconds at most, for the box with the caption and presses one
// of its buttons; false when no box came up.
bool pressWhenShown(const char* caption, int button, SeenBox& seen) {
    HWND box = nullptr;
    for (int i = 0; i < 500 && box == nullptr; ++i) {
        ::Sleep(10);
        box = ::FindWindowA("#32770", caption);
    }
    if (box == nullptr) {
        return false;
    }
    seen.owner = ::GetWindow(box, GW_OWNER);
    char text[256] = {};
    ::GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the box's text control
    seen.text = text;
    seen.hasOk = ::GetDlgItem(box, IDOK) != nullptr;
    seen.hasNo = ::GetDlgItem(box, IDNO) != nullptr;
    ::SendMessageA(::GetDlgItem(box, button), BM_CLICK, 0, 0);
    return true;
}

TEST(Win32DialogsTest, ABoxShowsItsTextAndButtonsToItsOwnerAndAnswersTheButtonPressed) {
    Win32Dialogs dialogs;
    SeenBox seen;
    bool shown = false;
    std::thread person([&] { shown = pressWhenShown("Pastrix question", IDNO, seen); });
    EXPECT_EQ(dialogs.messageBox(0, "Overwrite the slot?", "Pastrix question",
                                 mb::YesNo | mb::IconQuestion),
              id::No);
    person.join();
    ASSERT_TRUE(shown);
    EXPECT_EQ(seen.text, "Overwrite the slot?");
    EXPECT_TRUE(seen.hasNo);
    EXPECT_FALSE(seen.hasOk);

    const HWND owner = ::CreateWindowExA(0, "STATIC", "Pastrix", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                         50, 50, 300, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    person = std::thread([&] { shown = pressWhenShown("Pastrix error", IDOK, seen); });
    EXPECT_EQ(dialogs.messageBox(reinterpret_cast<WindowHandle>(owner), "Couldn't move.",
                                 "Pastrix error", mb::Ok | mb::IconError | mb::SetForeground),
              id::Ok);
    person.join();
    ASSERT_TRUE(shown);
    EXPECT_EQ(seen.owner, owner);
    EXPECT_TRUE(seen.hasOk);
    EXPECT_FALSE(seen.hasNo);
    ::DestroyWindow(owner);

    // No box for an owner that is gone: no button, and the reason.
    EXPECT_EQ(dialogs.messageBox(reinterpret_cast<WindowHandle>(owner), "lost", "Pastrix", mb::Ok),
              0);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

}  // namespace
}  // namespace os::win32
