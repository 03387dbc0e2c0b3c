#include "EventWindow.h"
#include "HookLibraryModule.h"
#include "InstalledHooks.h"

#include <chrono>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

namespace pastrix::tests::hooklib {
namespace {

using namespace std::chrono_literals;
using Event = EventWindow::Event;

void sendKey(BYTE key, bool release) {
    keybd_event(key, static_cast<BYTE>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)),
                release ? KEYEVENTF_KEYUP : 0U, 0);
}

// While the program handles a posted event, GetKeyState on its thread shows that event, as the
// gesture logic expects (is Ctrl held, is the left button held).
class KeyState : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(library.module(), nullptr);
        hooks = std::make_unique<InstalledHooks>(library, window.handle());
        ASSERT_TRUE(hooks->installed());
        window.collect(0, 50ms);
    }

    void TearDown() override { hooks.reset(); }

    HookLibraryModule library;
    EventWindow window;
    std::unique_ptr<InstalledHooks> hooks;
};

TEST_F(KeyState, AGestureShowsEachKeyAsItsEventLeftIt) {
    // Each key is sent after the one before was handled, as a person types.
    sendKey(VK_CONTROL, false);
    const std::vector<Event> controlPress = window.collect(1, 1s);
    sendKey('V', false);
    const std::vector<Event> slotPress = window.collect(1, 1s);
    sendKey('V', true);
    const std::vector<Event> slotRelease = window.collect(1, 1s);
    sendKey(VK_CONTROL, true);
    const std::vector<Event> controlRelease = window.collect(1, 1s);

    ASSERT_EQ(controlPress.size(), 1U);
    EXPECT_TRUE(controlPress[0].keyDown);
    ASSERT_EQ(slotPress.size(), 1U);
    EXPECT_TRUE(slotPress[0].keyDown);
    EXPECT_TRUE(slotPress[0].controlDown);
    ASSERT_EQ(slotRelease.size(), 1U);
    EXPECT_FALSE(slotRelease[0].keyDown);
    EXPECT_TRUE(slotRelease[0].controlDown);
    ASSERT_EQ(controlRelease.size(), 1U);
    EXPECT_FALSE(controlRelease[0].keyDown);
    EXPECT_FALSE(controlRelease[0].controlDown);
}

TEST_F(KeyState, AHeldLeftButtonIsDownWhileAKeyIsHandledAndUpAfterItsRelease) {
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    sendKey('X', false);
    const std::vector<Event> slotPress = window.collect(1, 1s);
    sendKey('X', true);
    window.collect(1, 1s);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    const std::vector<Event> buttonRelease = window.collect(1, 1s);

    ASSERT_EQ(slotPress.size(), 1U);
    EXPECT_TRUE(slotPress[0].leftButtonDown);
    ASSERT_EQ(buttonRelease.size(), 1U);
    EXPECT_EQ(buttonRelease[0].message, windows::hook::MouseEventMessage);
    EXPECT_FALSE(buttonRelease[0].leftButtonDown);
}

// The state comes from the procedure itself, not from the system catching up: an event the
// desktop never saw shows as well.
TEST_F(KeyState, AnEventOnlyTheProcedureSawShowsWhileItIsHandled) {
    KBDLLHOOKSTRUCT event{};
    event.vkCode = VK_F13;
    event.scanCode = 0x64;
    library.keyboardProcedure(HC_ACTION, WM_KEYDOWN, reinterpret_cast<LPARAM>(&event));
    const std::vector<Event> press = window.collect(1, 1s);
    event.flags = LLKHF_UP;
    library.keyboardProcedure(HC_ACTION, WM_KEYUP, reinterpret_cast<LPARAM>(&event));
    const std::vector<Event> release = window.collect(1, 1s);

    ASSERT_EQ(press.size(), 1U);
    EXPECT_TRUE(press[0].keyDown);
    ASSERT_EQ(release.size(), 1U);
    EXPECT_FALSE(release[0].keyDown);
}

}  // namespace
}  // namespace pastrix::tests::hooklib
