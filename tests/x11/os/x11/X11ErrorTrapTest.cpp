// clang-format off
#include <gtest/gtest.h>
#include "os/x11/X11ErrorTrap.h"
#include <X11/Xlib.h>
// clang-format on

#include <thread>

namespace {

using os::x11::X11ErrorTrap;

// A window id no client has: every request on it fails with BadWindow.
constexpr Window NoSuchWindow = 0x1fffffe;

class X11ErrorTrapTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(display_, nullptr) << "needs an X server (scripts/xsession)";
        X11ErrorTrap::installHandler();
    }
    void TearDown() override {
        if (display_ != nullptr) {
            XCloseDisplay(display_);
        }
    }

    Display* display_ = XOpenDisplay(nullptr);
};

TEST_F(X11ErrorTrapTest, ATrapRecordsTheFirstErrorOfItsThreadAndNestedTrapsKeepTheirOwn) {
    X11ErrorTrap outer(display_);
    XMapWindow(display_, NoSuchWindow);
    ASSERT_EQ(outer.sync(), BadWindow);
    {
        // Errors are told to the trap living when they are read: the outer one's were read.
        X11ErrorTrap inner(display_);
        EXPECT_EQ(inner.sync(), 0);
        XUnmapWindow(display_, NoSuchWindow);
        XMapWindow(display_, NoSuchWindow);
        EXPECT_EQ(inner.sync(), BadWindow);
    }
    EXPECT_EQ(outer.sync(), BadWindow);
    // Another thread's trap sees none of this thread's errors.
    std::thread([] {
        Display* other = XOpenDisplay(nullptr);
        ASSERT_NE(other, nullptr);
        {
            X11ErrorTrap trap(other);
            EXPECT_EQ(trap.sync(), 0);
        }
        XCloseDisplay(other);
    }).join();
}

TEST_F(X11ErrorTrapTest, ErrorsOnAnIgnoredConnectionOrOutsideATrapAreDropped) {
    // Xlib's own handler would end the process at the first of these.
    XMapWindow(display_, NoSuchWindow);
    XSync(display_, False);

    Display* peer = XOpenDisplay(nullptr);
    ASSERT_NE(peer, nullptr);
    X11ErrorTrap::ignoreErrorsOn(peer);
    {
        X11ErrorTrap trap(peer);
        XMapWindow(peer, NoSuchWindow);
        EXPECT_EQ(trap.sync(), 0);
    }
    X11ErrorTrap::stopIgnoring(peer);
    {
        X11ErrorTrap trap(peer);
        XMapWindow(peer, NoSuchWindow);
        EXPECT_EQ(trap.sync(), BadWindow);
    }
    XCloseDisplay(peer);
}

}  // namespace
