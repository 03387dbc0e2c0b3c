#include "config/clipboard/PXToolTip.h"
#include "config/clipboard/PXToolTipFactory.h"
#include "config/workspace/Workspace.h"
#include "os/x11/X11Platform.h"
#include "support/Editor.h"
#include "support/Peers.h"
#include "support/RecordingReporter.h"
#include "support/SplitScreen.h"
#include "support/XProbe.h"
#include "windows/window/ThreadedWindowX.h"

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using products::pastrix::config::clipboard::PXToolTip;
using products::pastrix::config::clipboard::PXToolTipFactory;
using products::pastrix::config::workspace::Workspace;
using windows::window::ThreadedWindowX;
using windows::window::ToolTip;
using x11_testing::run;
using x11_testing::waitUntil;

constexpr std::uint32_t PaleYellow = 0xFFFFE7;  // as red, green, blue

class X11ToolTipTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(editor.waitUntilInFront()) << "the editor never came to the front";
        activeBefore = probe.activeWindow();
    }

    bool pointerAt(int x, int y) {
        os::Point position;
        return os::windows().getCursorPos(position) && position.x == x && position.y == y;
    }

    os::x11::X11Platform platform;
    x11_testing::Editor editor;
    x11_testing::XProbe probe;
    unsigned long activeBefore = 0;
    testing_support::RecordingReporter reporter;
    x11_testing::TemporaryDirectory workspaces;
    Workspace workspace{reporter, 0, workspaces.path()};
    PXToolTipFactory factory{workspace, true};
};

TEST_F(X11ToolTipTest, ShowsNearThePointerOnItsOwnThreadWithoutTakingTheFocus) {
    ASSERT_EQ(run({"xdotool", "mousemove", "300", "200"}).status, 0);
    ASSERT_TRUE(waitUntil([&] { return pointerAt(300, 200); }));

    ThreadedWindowX thread(factory, 10ms);
    auto* tip = dynamic_cast<PXToolTip*>(thread.getWindowX());
    ASSERT_NE(tip, nullptr);
    ToolTip::setInstance(tip);
    const unsigned long xWindow = platform.x11Windows().xWindowOf(tip->getHandle());
    ASSERT_NE(xWindow, 0U);
    EXPECT_TRUE(probe.isOverrideRedirect(xWindow));
    EXPECT_EQ(probe.windowClass(xWindow), "PASTRIX_WINDOW_CLASS_NAME PASTRIX_WINDOW_CLASS_NAME");
    thread.startLoop();
    // The thread hides the window once as its loop begins; a gesture comes later than that.
    std::this_thread::sleep_for(50ms);

    tip->show('A', 3, true);
    EXPECT_EQ(tip->getText(), "Paste from [EMPTY]");
    ASSERT_TRUE(waitUntil([&] { return probe.isViewable(xWindow); }));
    EXPECT_TRUE(tip->isVisible());
    const auto placed = probe.geometry(xWindow);
    ASSERT_TRUE(placed.has_value());
    EXPECT_EQ(placed->x, 300);
    EXPECT_EQ(placed->y, 220);
    os::Size text;
    ASSERT_TRUE(os::graphics().measureText(tip->getHandle(), tip->getText(), text));
    EXPECT_GT(text.width, 50);
    EXPECT_EQ(placed->width + 2 * placed->border, text.width + 3);
    EXPECT_EQ(placed->height + 2 * placed->border, text.height + 3);

    // Painted by the tooltip's thread: dark letters on the pale yellow ground.
    EXPECT_TRUE(waitUntil([&] { return probe.darkPixels(xWindow) > 20; }))
        << "the text was never drawn";
    EXPECT_EQ(probe.pixel(xWindow, placed->width - 1, placed->height - 1), PaleYellow);

    std::this_thread::sleep_for(100ms);  // room for a focus change that must not come
    EXPECT_EQ(probe.activeWindow(), activeBefore);

    tip->hide();
    EXPECT_TRUE(waitUntil([&] { return !probe.isViewable(xWindow); }));
    EXPECT_FALSE(tip->isVisible());
    EXPECT_EQ(probe.activeWindow(), activeBefore);
}

TEST_F(X11ToolTipTest, WithCtrlItSitsAtTheTopLeftOfTheWindowInFront) {
    ThreadedWindowX thread(factory, 10ms);
    auto* tip = dynamic_cast<PXToolTip*>(thread.getWindowX());
    ASSERT_NE(tip, nullptr);
    ToolTip::setInstance(tip);
    thread.startLoop();
    std::this_thread::sleep_for(50ms);
    const unsigned long xWindow = platform.x11Windows().xWindowOf(tip->getHandle());

    os::Rect front;
    ASSERT_TRUE(os::windows().getWindowRect(os::windows().getForegroundWindow(), front));
    EXPECT_GT(front.right - front.left, 100);
    tip->show('B', 1, false);
    EXPECT_EQ(tip->getText(), "Copy over [EMPTY]");
    ASSERT_TRUE(waitUntil([&] { return probe.isViewable(xWindow); }));
    const auto placed = probe.geometry(xWindow);
    ASSERT_TRUE(placed.has_value());
    EXPECT_EQ(placed->x, front.left + 6);
    EXPECT_EQ(placed->y, front.top + 6);
    EXPECT_EQ(probe.activeWindow(), activeBefore);
}

TEST_F(X11ToolTipTest, NearTheEdgeItStaysOnTheMonitorOfThePointer) {
    ThreadedWindowX thread(factory, 10ms);
    auto* tip = dynamic_cast<PXToolTip*>(thread.getWindowX());
    ASSERT_NE(tip, nullptr);
    ToolTip::setInstance(tip);
    thread.startLoop();
    std::this_thread::sleep_for(50ms);
    const unsigned long xWindow = platform.x11Windows().xWindowOf(tip->getHandle());
    const int screenWidth = os::systemInfo().getSystemMetrics(os::SmCxScreen);
    const int screenHeight = os::systemInfo().getSystemMetrics(os::SmCyScreen);
    ASSERT_GT(screenWidth, 400);

    // The pointer in the bottom-right corner: below it there is no room at all.
    const auto placedAt = [&](int x, int y) {
        EXPECT_EQ(run({"xdotool", "mousemove", std::to_string(x), std::to_string(y)}).status, 0);
        EXPECT_TRUE(waitUntil([&] { return pointerAt(x, y); }));
        tip->show('A', 3, true);
        EXPECT_TRUE(waitUntil([&] { return probe.isViewable(xWindow); }));
        return probe.geometry(xWindow);
    };
    auto placed = placedAt(screenWidth - 5, screenHeight - 5);
    ASSERT_TRUE(placed.has_value());
    EXPECT_GT(placed->width, 50);
    EXPECT_EQ(placed->x + placed->width + 2 * placed->border, screenWidth);
    EXPECT_EQ(placed->y + placed->height + 2 * placed->border, screenHeight);

    // Two monitors: near the right edge of the left one it stays there.
    const int split = screenWidth / 2;
    x11_testing::SplitScreen monitors(split);
    os::Rect left;
    ASSERT_TRUE(os::windows().getMonitorRect(os::Point{split - 5, 100}, left));
    EXPECT_EQ(left.right, split);
    placed = placedAt(split - 5, 100);
    ASSERT_TRUE(placed.has_value());
    EXPECT_EQ(placed->x + placed->width + 2 * placed->border, split);
    EXPECT_EQ(placed->y, 120);
    // Just right of the split it sits below the pointer as usual.
    placed = placedAt(split + 5, 100);
    ASSERT_TRUE(placed.has_value());
    EXPECT_EQ(placed->x, split + 5);
    tip->hide();
}

TEST_F(X11ToolTipTest, AnotherProcessFindsTheWindowByClassUntilItIsGone) {
    auto thread = std::make_unique<ThreadedWindowX>(factory, 10ms);
    const os::WindowHandle own = thread->getWindowX()->getHandle();
    const unsigned long xWindow = platform.x11Windows().xWindowOf(own);
    thread->startLoop();

    // Hidden, as between gestures, and still found.
    EXPECT_FALSE(probe.isViewable(xWindow));
    const auto search = run({"xdotool", "search", "--class", PXToolTipFactory::ClassName});
    EXPECT_EQ(search.status, 0);
    EXPECT_NE(search.output.find(std::to_string(xWindow)), std::string::npos) << search.output;

    // The program's own search finds its own window first; a second copy, with a desktop
    // connection of its own and no windows, finds it in the X window tree.
    EXPECT_EQ(os::windows().findWindow(PXToolTipFactory::ClassName), own);
    os::x11::X11Windows secondCopy(os::errors(), "");
    const os::WindowHandle found = secondCopy.findWindow(PXToolTipFactory::ClassName);
    ASSERT_NE(found, 0U);
    EXPECT_EQ(secondCopy.xWindowOf(found), xWindow);
    EXPECT_TRUE(secondCopy.isWindow(found));

    thread.reset();
    EXPECT_FALSE(secondCopy.isWindow(found));
    EXPECT_EQ(secondCopy.findWindow(PXToolTipFactory::ClassName), 0U);
    EXPECT_EQ(os::windows().findWindow(PXToolTipFactory::ClassName), 0U);
    const auto after = run({"xdotool", "search", "--class", PXToolTipFactory::ClassName});
    EXPECT_EQ(after.output.find(std::to_string(xWindow)), std::string::npos) << after.output;
}

}  // namespace
