#include "os/Input.h"
#include "support/SimDesktopTest.h"
#include "windows/devices/keyboard/Keyboard.h"

#include <gtest/gtest.h>

namespace {

namespace Keyboard = windows::devices::keyboard::Keyboard;

using KeyboardTest = testing_support::SimDesktopAssertionTest;

TEST_F(KeyboardTest, KeysGoIntoTheInputStreamWithTheLayoutsScanCodes) {
    Keyboard::pressKey(17);
    Keyboard::pressKey('C');
    Keyboard::releaseKey('C');
    Keyboard::sendKey(0x111, os::keyeventf::KeyUp, 7);  // only the low 8 bits name the key

    const auto events = desktop.input.history();
    ASSERT_EQ(events.size(), 4U);
    const struct {
        int virtualKey;
        unsigned scanCode;
        bool released;
    } expected[] = {{17, 0x1D, false}, {'C', 0x2E, false}, {'C', 0x2E, true}, {17, 0x1D, true}};
    for (std::size_t i = 0; i < events.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(events[i].virtualKey, expected[i].virtualKey);
        EXPECT_EQ(events[i].scanCode, expected[i].scanCode);
        EXPECT_EQ(events[i].released, expected[i].released);
        EXPECT_TRUE(events[i].injected);
    }
    EXPECT_EQ(events[3].extraInfo, 7U);
    EXPECT_FALSE(desktop.keyboard.isKeyDown(17));
    EXPECT_TRUE(assertions.reports.empty());
}

TEST_F(KeyboardTest, KeysOutsideTheRangeAreReportedAndStillSent) {
    Keyboard::pressKey(0);
    Keyboard::releaseKey(255);
    EXPECT_EQ(assertions.reports.size(), 2U);
    EXPECT_TRUE(assertions.reported("virtualkey >= 1 && virtualkey <= 254"));
    EXPECT_EQ(desktop.input.history().size(), 2U);
}

}  // namespace
