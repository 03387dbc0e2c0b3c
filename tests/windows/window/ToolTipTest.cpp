#include "support/SimDesktopTest.h"
#include "windows/window/ToolTip.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using windows::window::ToolTip;

using ToolTipTest = testing_support::SimDesktopAssertionTest;

TEST_F(ToolTipTest, ShowsTextSizedToFitAboveOtherWindowsWithoutTakingTheFocus) {
    const os::WindowHandle editor = desktop.windows.addWindow("Editor");
    desktop.windows.setForegroundWindow(editor);
    ToolTip tooltip("PASTRIX_WINDOW_CLASS_NAME", editor);
    ToolTip::setInstance(&tooltip);

    tooltip.showText("Paste from [EMPTY]", 40, 60);
    os::Rect rect;
    ASSERT_TRUE(desktop.windows.getWindowRect(tooltip.getHandle(), rect));
    EXPECT_EQ(rect.left, 40);
    EXPECT_EQ(rect.top, 60);
    EXPECT_EQ(tooltip.getWidth(), 18 * os::sim::SimGraphics::CharacterWidth + 3);
    EXPECT_EQ(tooltip.getHeight(), os::sim::SimGraphics::LineHeight + 3);
    EXPECT_TRUE(tooltip.isVisible());
    EXPECT_EQ(desktop.windows.topmostWindow(), tooltip.getHandle());
    EXPECT_EQ(desktop.windows.getForegroundWindow(), editor);
    EXPECT_EQ(tooltip.getText(), "Paste from [EMPTY]");

    // The window's thread paints the text on the tooltip's own background.
    while (desktop.windows.pendingMessages() > 0) {
        tooltip.pumpMessages();
    }
    const auto painted = desktop.graphics.painted(tooltip.getHandle());
    EXPECT_EQ(painted.text, "Paste from [EMPTY]");
    EXPECT_EQ(painted.background, 0xE7FFFFU);

    tooltip.hide();
    EXPECT_FALSE(tooltip.isVisible());
    // A second copy of the program finds the hidden window by its class.
    EXPECT_EQ(desktop.windows.findWindow("PASTRIX_WINDOW_CLASS_NAME"), tooltip.getHandle());
    EXPECT_TRUE(assertions.reports.empty());
}

TEST_F(ToolTipTest, ALongTextStaysOnTheMonitorOfItsPlace) {
    // Two monitors side by side; the right one is shorter.
    desktop.windows.setMonitors({{0, 0, 1024, 768}, {1024, 0, 1824, 600}});
    ToolTip tooltip("PASTRIX_WINDOW_CLASS_NAME", 0);
    ToolTip::setInstance(&tooltip);
    const std::string text(100, 'x');  // 600 pixels wide with the border
    const int width = 100 * os::sim::SimGraphics::CharacterWidth + 3;
    const int height = os::sim::SimGraphics::LineHeight + 3;
    const auto placed = [&](int x, int y) {
        tooltip.showText(text, x, y);
        os::Rect rect;
        EXPECT_TRUE(desktop.windows.getWindowRect(tooltip.getHandle(), rect));
        return std::vector<int>{rect.left, rect.top, rect.right, rect.bottom};
    };

    // Where it fits it stays where it was asked to be.
    EXPECT_EQ(placed(40, 60), (std::vector<int>{40, 60, 40 + width, 60 + height}));
    // Near the right edge of the left monitor it moves left, not onto the other monitor.
    EXPECT_EQ(placed(900, 100), (std::vector<int>{1024 - width, 100, 1024, 100 + height}));
    // Near the bottom it moves up; on the right monitor its own bottom counts.
    EXPECT_EQ(placed(100, 760), (std::vector<int>{100, 768 - height, 100 + width, 768}));
    EXPECT_EQ(placed(1700, 595), (std::vector<int>{1824 - width, 600 - height, 1824, 600}));
    // A place off every monitor is brought onto the nearest one.
    EXPECT_EQ(placed(-300, 900), (std::vector<int>{0, 768 - height, width, 768}));

    // Wider than a monitor: as wide as the monitor, from its left edge.
    desktop.windows.setMonitors({{0, 0, 320, 240}});
    EXPECT_EQ(placed(200, 10), (std::vector<int>{0, 10, 320, 10 + height}));
    // A system that cannot tell its monitors leaves the place as asked.
    desktop.windows.setMonitors({});
    EXPECT_EQ(placed(2000, 3000), (std::vector<int>{2000, 3000, 2000 + width, 3000 + height}));
    EXPECT_EQ(tooltip.getWidth(), width);
}

TEST_F(ToolTipTest, OnlyTheInstancePaintsAndAGoneInstanceIsForgotten) {
    {
        ToolTip tooltip("PASTRIX_WINDOW_CLASS_NAME", 0);
        ToolTip::setInstance(&tooltip);
        EXPECT_EQ(ToolTip::getInstance(), &tooltip);
    }
    EXPECT_EQ(ToolTip::getInstance(), nullptr);

    ToolTip orphan("PASTRIX_WINDOW_CLASS_NAME", 0);
    orphan.showText("text", 0, 0);
    ToolTip::windowProcedure(orphan.getHandle(), os::wm::Paint, 0, 0);
    EXPECT_TRUE(assertions.reported("_instance"));
    EXPECT_EQ(desktop.graphics.painted(orphan.getHandle()).text, "");

    ToolTip::setInstance(nullptr);
    EXPECT_TRUE(assertions.reported("tooltip"));
}

}  // namespace
