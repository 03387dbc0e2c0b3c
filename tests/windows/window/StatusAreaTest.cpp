// The program's icon in the notification area, over the simulated desktop's.

#include "os/ErrorCodes.h"
#include "support/SimDesktopTest.h"
#include "windows/graphics/WindowsGraphicsException.h"
#include "windows/window/StatusArea.h"
#include "windows/window/WindowExceptions.h"

#include <string>

#include <gtest/gtest.h>

namespace {

using windows::window::addStatusAreaIcon;
using windows::window::loadIcon;
using windows::window::removeStatusAreaIcon;

class StatusAreaTest : public testing_support::SimDesktopTest {};

TEST_F(StatusAreaTest, AddsAndRemovesTheIconWithItsRecord) {
    const os::IconHandle icon = loadIcon(100);
    const std::string longTip(80, 'x');
    addStatusAreaIcon(7, icon, 100, 0x8004, longTip);
    EXPECT_EQ(desktop.statusArea.icons().count({7, 100}), 1U);
    removeStatusAreaIcon(7, icon, 100, 0x8004, longTip);
    EXPECT_TRUE(desktop.statusArea.icons().empty());

    const auto calls = desktop.statusArea.calls();
    ASSERT_EQ(calls.size(), 2U);
    EXPECT_EQ(calls[0].operation, os::nim::Add);
    EXPECT_EQ(calls[1].operation, os::nim::Delete);
    for (const auto& call : calls) {
        EXPECT_TRUE(call.succeeded);
        EXPECT_EQ(call.data.size, 88U);
        EXPECT_EQ(call.data.icon, icon);
        // The record holds 63 characters of the tip and its terminating zero.
        EXPECT_EQ(call.data.tip, std::string(63, 'x'));
    }
    EXPECT_TRUE(desktop.clock.sleeps().empty());
}

TEST_F(StatusAreaTest, GivesUpAfterEightTriesWithTheLastErrorCode) {
    desktop.statusArea.failWith(os::error::AccessDenied);
    try {
        addStatusAreaIcon(7, loadIcon(100), 100, 0x8004, "tip");
        FAIL() << "no exception";
    } catch (const windows::window::StatusAreaException& e) {
        const std::string message = e.getMessage();
        EXPECT_EQ(message.rfind("Error when moving the application from or to the taskbar "
                                "notification area (system tray).\nUsing system call "
                                "'Shell_NotifyIcon'.\nTries: 8.\nError code: 5.\n",
                                0),
                  0U);
    }
    EXPECT_EQ(desktop.statusArea.calls().size(), 8U);
    EXPECT_EQ(desktop.clock.slept(), std::chrono::milliseconds(8000));
    EXPECT_TRUE(desktop.statusArea.icons().empty());
}

TEST_F(StatusAreaTest, AMissingIconIsAGraphicsError) {
    desktop.statusArea.removeIconResource(100);
    try {
        loadIcon(100);
        FAIL() << "no exception";
    } catch (const windows::graphics::WindowsGraphicsException& e) {
        EXPECT_EQ(e.getMessage(), "Error when loading icon with icon id.");
    }
}

}  // namespace
