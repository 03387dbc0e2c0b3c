// Slot gestures from the user's keys to the editor's text and the files on disk, with every
// real part of the program wired as it runs: the hook library with both hooks started, the
// key handler, the state machine, the executer, the workspace and the tooltip on its own
// thread.
#include "config/clipboard/ExecuterImpl.h"
#include "config/clipboard/PXToolTip.h"
#include "config/clipboard/PXToolTipFactory.h"
#include "config/tab/SlotKeyHandler.h"
#include "os/Clipboard.h"
#include "os/Keyboard.h"
#include "os/Port.h"
#include "os/sim/SimEditor.h"
#include "support/HookedWindow.h"
#include "support/RecordingReporter.h"
#include "support/SimDesktopTest.h"
#include "windows/window/ThreadedWindowX.h"

#include <chrono>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

namespace {

using os::posix::InProcessClipboard;
using products::pastrix::config::clipboard::ExecuterImpl;
using products::pastrix::config::clipboard::PXToolTip;
using products::pastrix::config::clipboard::PXToolTipFactory;
using products::pastrix::config::tab::SlotKeyHandler;
using products::pastrix::config::workspace::Workspace;

const std::vector<InProcessClipboard::Format> usersClipboard = {
    {os::cf::Text, std::string("the user's own text\0", 20)},
    {0xC200, std::string("\x01\x02\x00\x03", 4)},
};

class SlotGestureEndToEndTest : public testing_support::SimDesktopAssertionTest {
protected:
    SlotGestureEndToEndTest() {
        std::filesystem::create_directory(path("ws"));
        workspace.open("ws");
        editor.setText("Hello world");
        editor.select(6, 11);
        desktop.clipboard.setContent(usersClipboard);

        factory.setParent(page.window());
        tooltipThread = std::make_unique<windows::window::ThreadedWindowX>(
            factory, std::chrono::milliseconds(10));
        tooltip = dynamic_cast<PXToolTip*>(tooltipThread->getWindowX());
        PXToolTip::setInstance(tooltip);
        tooltipThread->startLoop();
        handler.attachToolTip(tooltip);
    }

    ~SlotGestureEndToEndTest() override {
        tooltipThread->stop();
        tooltipThread->join();
    }

    // The user-interface thread's loop: each hook message goes to the key handler.
    void pump() {
        page.pump([this](const os::Message& message) {
            testing_support::HookedWindow::route(
                message, [this](int key, bool pressed) { handler.onKeyEvent(key, pressed); });
        });
    }

    // The user holds Ctrl (or the left button) and taps the key the given number of times.
    void gesture(int trigger, int key, int taps) {
        press(trigger, true);
        for (int i = 0; i < taps; ++i) {
            press(key, true);
            press(key, false);
        }
        press(trigger, false);
    }

    void press(int key, bool down) {
        if (key == os::vk::LButton) {
            desktop.input.userLeftButton(down);
        } else {
            desktop.input.userKey(key, down);
        }
        pump();
    }

    std::string slotText(int key) const {
        const auto& slot = workspace.getClipboards()[static_cast<std::size_t>(key)];
        return slot ? slot->getText() : "(empty)";
    }

    // Waits until the tooltip's own thread has painted the text.
    bool painted(const std::string& text) const {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (desktop.graphics.painted(tooltip->getHandle()).text != text) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

    testing_support::RecordingReporter reporter;
    Workspace workspace{reporter, 0, directory.string()};
    os::sim::SimEditor editor{desktop, "notes.txt - Editor"};
    testing_support::HookedWindow page{desktop, "System"};
    ExecuterImpl executer{workspace};
    PXToolTipFactory factory{workspace, true};
    std::unique_ptr<windows::window::ThreadedWindowX> tooltipThread;
    PXToolTip* tooltip = nullptr;
    SlotKeyHandler handler{executer, workspace, true, {}};
};

TEST_F(SlotGestureEndToEndTest, CtrlAndTwoTapsCopyTheSelectionIntoTheSlot) {
    press(os::vk::Control, true);
    press('K', true);
    press('K', false);
    EXPECT_EQ(tooltip->getText(), "Paste from [EMPTY]");
    EXPECT_TRUE(painted("Paste from [EMPTY]"));
    press('K', true);
    press('K', false);
    EXPECT_EQ(tooltip->getText(), "Copy over [EMPTY]");
    EXPECT_TRUE(tooltip->isVisible());
    press(os::vk::Control, false);
    EXPECT_FALSE(tooltip->isVisible());

    EXPECT_EQ(slotText('K'), "world");
    const auto& slot = *workspace.getClipboards()['K'];
    ASSERT_EQ(slot.getFormats().size(), 2U);
    EXPECT_EQ(slot.getFormats()[0], os::cf::Text);
    EXPECT_EQ(slot.getFormats()[1], desktop.clipboard.registerFormat("Rich Text Format"));
    EXPECT_EQ(slot.getCaption(), "notes.txt - Editor");
    EXPECT_TRUE(std::filesystem::exists(path("ws/px_75.pxf")));
    EXPECT_EQ(desktop.clipboard.content(), usersClipboard);
    EXPECT_EQ(editor.text(), "Hello world");

    // The next gesture shows what the slot now holds.
    press(os::vk::Control, true);
    press('K', true);
    EXPECT_EQ(tooltip->getText(), "Paste from [Text] : world");
    press('K', false);
    press(os::vk::Control, false);
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_TRUE(assertions.reports.empty());
}

TEST_F(SlotGestureEndToEndTest, CtrlAndOneTapPastesTheSlotIntoTheEditor) {
    gesture(os::vk::Control, 'K', 2);
    editor.select(0, 0);
    gesture(os::vk::Control, 'K', 1);
    EXPECT_EQ(editor.text(), "worldHello world");
    EXPECT_EQ(desktop.clipboard.content(), usersClipboard);
    EXPECT_EQ(handler.getStateMachine().getState(), 0);
}

TEST_F(SlotGestureEndToEndTest, TheLeftButtonWorksAsTriggerToo) {
    // The hooks pass every key on, so a slot key that types a character would also type it
    // into the editor: a function key does not.
    constexpr int F5 = 0x74;
    desktop.windows.setCursorPos({500, 300});
    press(os::vk::LButton, true);
    press(F5, true);
    press(F5, false);
    os::Rect rect;
    ASSERT_TRUE(desktop.windows.getWindowRect(tooltip->getHandle(), rect));
    EXPECT_EQ(rect.left, 500);
    EXPECT_EQ(rect.top, 320);
    press(F5, true);
    press(F5, false);
    press(os::vk::LButton, false);
    EXPECT_EQ(slotText(F5), "world");
    EXPECT_TRUE(std::filesystem::exists(path("ws/px_116.pxf")));

    editor.select(0, 5);
    gesture(os::vk::LButton, F5, 1);
    EXPECT_EQ(editor.text(), "world world");
    EXPECT_EQ(desktop.clipboard.content(), usersClipboard);
}

TEST_F(SlotGestureEndToEndTest, ThreeTapsCancelAndAnEmptySlotSendsNothing) {
    gesture(os::vk::Control, 'K', 3);
    EXPECT_FALSE(tooltip->isVisible());
    EXPECT_EQ(slotText('K'), "(empty)");

    gesture(os::vk::Control, 'Q', 1);
    for (const auto& event : desktop.input.history()) {
        EXPECT_FALSE(event.injected) << "no key may be sent";
    }
    EXPECT_EQ(editor.text(), "Hello world");
    EXPECT_EQ(desktop.clipboard.content(), usersClipboard);
    EXPECT_FALSE(std::filesystem::exists(path("ws/px_75.pxf")));
}

TEST_F(SlotGestureEndToEndTest, TheTooltipThreadEndsCleanlyAndTakesItsWindowAlong) {
    const os::WindowHandle window = tooltip->getHandle();
    EXPECT_EQ(desktop.windows.findWindow("PASTRIX_WINDOW_CLASS_NAME"), window);
    tooltipThread->stop();
    tooltipThread->join();
    EXPECT_FALSE(desktop.windows.isWindow(window));
    EXPECT_FALSE(desktop.windows.isClassRegistered("PASTRIX_WINDOW_CLASS_NAME"));
    EXPECT_EQ(PXToolTip::getInstance(), nullptr);
}

}  // namespace
