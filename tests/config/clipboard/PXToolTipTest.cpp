#include "config/clipboard/PXToolTip.h"
#include "os/Clipboard.h"
#include "support/RecordingReporter.h"
#include "support/SimDesktopTest.h"

#include <filesystem>

#include <gtest/gtest.h>

namespace {

using products::pastrix::config::clipboard::PXToolTip;
using products::pastrix::config::workspace::Workspace;

class PXToolTipTest : public testing_support::SimDesktopAssertionTest {
protected:
    PXToolTipTest() {
        std::filesystem::create_directory(path("ws"));
        workspace.open("ws");
        PXToolTip::setInstance(&tooltip);
    }

    void fillSlot(int key, std::vector<os::posix::InProcessClipboard::Format> formats) {
        desktop.clipboard.setContent(std::move(formats));
        ASSERT_TRUE(workspace.setFromCurrentClipboard(static_cast<unsigned>(key)));
    }

    void fillText(int key, const std::string& text) {
        fillSlot(key, {{os::cf::Text, text + '\0'}});
    }

    testing_support::RecordingReporter reporter;
    Workspace workspace{reporter, 0, directory.string()};
    PXToolTip tooltip{workspace, "PASTRIX_WINDOW_CLASS_NAME", 0, true};
};

TEST_F(PXToolTipTest, TextNamesTheGestureTheKindsOfDataAndTheStartOfTheText) {
    fillText('H', "Hello world");
    fillSlot('B', {{os::cf::Dib, "BM...."}});
    fillText('E', "");
    fillText('L', std::string(76, 'x'));
    fillText('X', std::string(75, 'x'));
    fillText('T', "first line\r\nsecond line");
    // A password manager's copy: its text is never shown.
    fillSlot('S', {{os::cf::Text, std::string("hunter2\0", 8)},
                   {desktop.clipboard.registerFormat("Clipboard Viewer Ignore"), ""}});

    EXPECT_EQ(tooltip.textFor('H', 3), "Paste from [Text] : Hello world");
    EXPECT_EQ(tooltip.textFor('J', 3), "Paste from [EMPTY]");
    EXPECT_EQ(tooltip.textFor('B', 1), "Copy over [Bitmap] : N/A");
    EXPECT_EQ(tooltip.textFor('E', 1), "Copy over [Text] : [Empty]");
    EXPECT_EQ(tooltip.textFor('L', 3), "Paste from [Text] : " + std::string(75, 'x') + "...");
    EXPECT_EQ(tooltip.textFor('X', 3), "Paste from [Text] : " + std::string(75, 'x'));
    EXPECT_EQ(tooltip.textFor('T', 3), "Paste from [Text] : first line...");
    EXPECT_EQ(tooltip.textFor('S', 3), "Paste from [Text] : [Secret, not saved]");
    EXPECT_TRUE(assertions.reports.empty());

    EXPECT_EQ(tooltip.textFor('H', 2), "[Text] : Hello world");
    EXPECT_TRUE(assertions.reported("false"));
}

TEST_F(PXToolTipTest, SitsBelowThePointerOrInsideTheWindowInFront) {
    const os::WindowHandle editor = desktop.windows.addWindow("Editor");
    desktop.windows.setForegroundWindow(editor);
    desktop.windows.setCursorPos({300, 200});

    tooltip.show('K', 3, true);
    os::Rect rect;
    ASSERT_TRUE(desktop.windows.getWindowRect(tooltip.getHandle(), rect));
    EXPECT_EQ(rect.left, 300);
    EXPECT_EQ(rect.top, 220);
    EXPECT_TRUE(tooltip.isVisible());
    EXPECT_EQ(tooltip.getText(), "Paste from [EMPTY]");

    tooltip.show('K', 1, false);
    ASSERT_TRUE(desktop.windows.getWindowRect(tooltip.getHandle(), rect));
    os::Rect editorRect;
    ASSERT_TRUE(desktop.windows.getWindowRect(editor, editorRect));
    EXPECT_EQ(rect.left, editorRect.left + 6);
    EXPECT_EQ(rect.top, editorRect.top + 6);
    EXPECT_EQ(tooltip.getText(), "Copy over [EMPTY]");
    EXPECT_EQ(desktop.windows.getForegroundWindow(), editor);

    tooltip.hide();
    EXPECT_FALSE(tooltip.isVisible());
}

TEST_F(PXToolTipTest, TurnedOffItShowsNothing) {
    tooltip.setUseToolTip(false);
    tooltip.show('K', 3, false);
    EXPECT_FALSE(tooltip.isVisible());
    EXPECT_EQ(tooltip.getText(), "");
}

}  // namespace
