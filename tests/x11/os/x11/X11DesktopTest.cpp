#include "os/ErrorCodes.h"
#include "os/x11/X11Platform.h"
#include "support/Editor.h"
#include "support/Peers.h"
#include "support/XProbe.h"
#include "windows/info/SystemInformation.h"
#include "windows/window/WindowExceptions.h"
#include "windows/window/WindowTitle.h"

#include <regex>

#include <gtest/gtest.h>

namespace {

using x11_testing::run;
using x11_testing::waitUntil;

class X11DesktopTest : public ::testing::Test {
protected:
    os::x11::X11Platform platform;
    x11_testing::XProbe probe;
};

TEST_F(X11DesktopTest, TheEditorInFrontHasItsFilesNameAsTitleUntilItCloses) {
    x11_testing::Editor editor;
    ASSERT_TRUE(editor.waitUntilInFront());
    const os::WindowHandle front = os::windows().getForegroundWindow();
    ASSERT_NE(front, 0U);
    EXPECT_EQ(platform.x11Windows().xWindowOf(front), probe.activeWindow());
    EXPECT_EQ(os::windows().getForegroundWindow(), front) << "one window, one handle";

    const std::string title = windows::window::getWindowTitle(front, false);
    EXPECT_NE(title.find(x11_testing::Editor::FileName), std::string::npos) << title;
    EXPECT_TRUE(os::windows().isWindow(front));
    EXPECT_NE(os::windows().getWindowStyle(front) & os::ws::Visible, 0U);
    os::Rect rect;
    ASSERT_TRUE(os::windows().getWindowRect(front, rect));
    EXPECT_GT(rect.right - rect.left, 100);
    EXPECT_GT(rect.bottom - rect.top, 100);
    // The window manager's frame is part of the window, as the editor's own place shows.
    const auto client = probe.geometry(probe.activeWindow());
    ASSERT_TRUE(client.has_value());
    EXPECT_LE(rect.left, client->x);
    EXPECT_LT(rect.top, client->y) << "the title bar belongs to the window";

    // Another application's class finds one of its windows (GTK gives its hidden group leader
    // the class as well).
    const os::WindowHandle byClass = os::windows().findWindow("L3afpad");
    ASSERT_NE(byClass, 0U);
    EXPECT_EQ(probe.windowClass(platform.x11Windows().xWindowOf(byClass)), "l3afpad L3afpad");
    EXPECT_EQ(os::windows().findWindow("PastrixNoSuchApplication"), 0U);

    editor.close();
    ASSERT_TRUE(waitUntil([&] { return !os::windows().isWindow(front); }));
    EXPECT_EQ(windows::window::getWindowTitle(front, true), "");
    EXPECT_THROW(windows::window::getWindowTitle(front, false),
                 windows::window::CouldNotGetWindowTitleException);
    EXPECT_EQ(os::errors().lastError(), os::error::InvalidWindowHandle);
    EXPECT_FALSE(os::windows().showWindow(front, os::sw::Hide));
}

TEST_F(X11DesktopTest, AnActiveWindowWithoutClassLeavesThePreviousOneInFront) {
    x11_testing::Editor editor;
    ASSERT_TRUE(editor.waitUntilInFront());
    const os::WindowHandle front = os::windows().getForegroundWindow();
    ASSERT_NE(front, 0U);

    const unsigned long classless = probe.makeWindowWithoutClass();
    ASSERT_EQ(run({"xdotool", "windowactivate", "--sync", std::to_string(classless)}).status, 0);
    ASSERT_TRUE(waitUntil([&] { return probe.activeWindow() == classless; }));
    EXPECT_EQ(os::windows().getForegroundWindow(), front);
}

TEST_F(X11DesktopTest, ThePointerIsWhereTheUserMovedIt) {
    for (const auto& [x, y] : {std::pair{123, 234}, std::pair{0, 0}, std::pair{1000, 700}}) {
        ASSERT_EQ(run({"xdotool", "mousemove", std::to_string(x), std::to_string(y)}).status, 0);
        os::Point position;
        ASSERT_TRUE(os::windows().getCursorPos(position));
        EXPECT_EQ(position.x, x);
        EXPECT_EQ(position.y, y);
    }
}

TEST_F(X11DesktopTest, TheScreenSizeIsTheXScreens) {
    const auto info = run({"xdpyinfo"});
    std::smatch match;
    ASSERT_TRUE(std::regex_search(info.output, match, std::regex(R"(dimensions:\s+(\d+)x(\d+))")));
    EXPECT_EQ(windows::info::getScreenWidth(), std::stoi(match[1]));
    EXPECT_EQ(windows::info::getScreenHeight(), std::stoi(match[2]));
    EXPECT_GT(windows::info::getScreenWidth(), 0);
}

TEST(X11PlatformTest, AMissingDisplayIsToldInPlainWords) {
    try {
        os::x11::X11Platform platform(":4711");
        FAIL() << "a platform without a display";
    } catch (const os::x11::X11DisplayException& e) {
        EXPECT_STREQ(e.what(),
                     "Pastrix cannot open the X display \":4711\": is a desktop session running?");
    }
}

}  // namespace
