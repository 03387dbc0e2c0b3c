#include "support/SimDesktopTest.h"
#include "windows/window/ToolTip.h"

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
