#include "os/Keyboard.h"
#include "os/sim/SimInput.h"
#include "support/SimDesktopTest.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using os::sim::InputEvent;

using SimInputTest = testing_support::SimDesktopTest;

std::string describe(const InputEvent& event) {
    return std::string(event.injected ? "sent " : "user ") + std::to_string(event.virtualKey) +
           (event.released ? " up" : " down");
}

TEST_F(SimInputTest, EventsMadeDuringADeliveryFollowItInOrder) {
    std::vector<std::string> seen;
    bool keyStateAtEvent = false;
    desktop.input.watchKeys([&](const InputEvent& event) {
        seen.push_back(describe(event));
        if (event.virtualKey == 'K' && !event.released && !event.injected) {
            // A watcher that answers with keys of its own, as the program does.
            desktop.input.keybdEvent(os::vk::Control, 0x1D, 0, 0);
            desktop.input.keybdEvent(os::vk::Control, 0x1D, os::keyeventf::KeyUp, 0);
            keyStateAtEvent = desktop.keyboard.isKeyDown('K');
        }
    });
    desktop.input.userKey('K', true);
    desktop.input.userKey('K', false);
    EXPECT_TRUE(keyStateAtEvent);
    EXPECT_EQ(seen, (std::vector<std::string>{"user 75 down", "sent 17 down", "sent 17 up",
                                              "user 75 up"}));
    EXPECT_FALSE(desktop.keyboard.isKeyDown(os::vk::Control));
}

TEST_F(SimInputTest, OnlyTheApplicationInFrontReceivesKeys) {
    struct Recorder final : os::sim::SimApplication {
        void onKey(const InputEvent& event) override { keys.push_back(event.virtualKey); }
        std::vector<int> keys;
    } front, back;
    const os::WindowHandle frontWindow = desktop.windows.addWindow("front");
    const os::WindowHandle backWindow = desktop.windows.addWindow("back");
    desktop.input.attachApplication(frontWindow, &front);
    desktop.input.attachApplication(backWindow, &back);
    desktop.windows.setForegroundWindow(frontWindow);
    desktop.input.userKey('A', true);
    desktop.windows.setForegroundWindow(backWindow);
    desktop.input.userKey('B', true);
    EXPECT_EQ(front.keys, std::vector<int>{'A'});
    EXPECT_EQ(back.keys, std::vector<int>{'B'});

    std::vector<bool> buttons;
    desktop.input.watchLeftButton([&](bool pressed) { buttons.push_back(pressed); });
    desktop.input.userLeftButton(true);
    EXPECT_TRUE(desktop.keyboard.isKeyDown(os::vk::LButton));
    desktop.input.userLeftButton(false);
    EXPECT_EQ(buttons, (std::vector<bool>{true, false}));
}

}  // namespace
