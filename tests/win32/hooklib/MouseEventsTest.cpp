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

class MouseEvents : public ::testing::Test {
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

TEST_F(MouseEvents, OnlyTheLeftButtonsReleaseIsPosted) {
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_RIGHTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_RIGHTUP, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_MOVE, 5, 5, 0, 0);

    const std::vector<Event> events = window.collect(0, 500ms);
    ASSERT_EQ(events.size(), 1U);
    EXPECT_EQ(events[0].message, windows::hook::MouseEventMessage);
    EXPECT_EQ(events[0].virtualKey, 0U);
    EXPECT_EQ(events[0].keyData, 0U);
}

TEST_F(MouseEvents, AReleaseOutsideTheClientAreaIsPostedToo) {
    MSLLHOOKSTRUCT event{};
    library.mouseProcedure(HC_ACTION, WM_NCLBUTTONDOWN, reinterpret_cast<LPARAM>(&event));
    library.mouseProcedure(HC_ACTION, WM_NCLBUTTONUP, reinterpret_cast<LPARAM>(&event));
    library.mouseProcedure(-1, WM_LBUTTONUP, 1);

    const std::vector<Event> events = window.collect(0, 300ms);
    ASSERT_EQ(events.size(), 1U);
    EXPECT_EQ(events[0].message, windows::hook::MouseEventMessage);
}

TEST_F(MouseEvents, NothingIsPostedOnceTheMouseHookIsTornDown) {
    library.mouseDeinitializer();
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);

    EXPECT_TRUE(window.collect(0, 300ms).empty());
}

}  // namespace
}  // namespace pastrix::tests::hooklib
