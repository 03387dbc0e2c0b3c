#include "os/common/WindowPlacement.h"

#include <gtest/gtest.h>

namespace {

using os::common::WindowPlacement;

struct PlacementCase {
    const char* what;
    unsigned flags;
    os::Rect expected;
    bool visible;
};

TEST(WindowPlacementTest, TheFlagsSayWhatChanges) {
    // The window starts at (10, 20), 100 by 50, hidden; it is asked to go to (5, 6), 30 by 40.
    const PlacementCase cases[] = {
        {"move and size", 0, {5, 6, 35, 46}, false},
        {"size only", os::swp::NoMove, {10, 20, 40, 60}, false},
        {"move only", os::swp::NoSize, {5, 6, 105, 56}, false},
        {"neither, shown",
         os::swp::NoMove | os::swp::NoSize | os::swp::ShowWindow,
         {10, 20, 110, 70},
         true},
        {"moved and shown", os::swp::NoSize | os::swp::ShowWindow, {5, 6, 105, 56}, true},
    };
    for (const PlacementCase& item : cases) {
        os::Rect rect{10, 20, 110, 70};
        unsigned style = os::ws::Child;
        WindowPlacement::apply(rect, style, 5, 6, 30, 40, item.flags);
        EXPECT_EQ(rect.left, item.expected.left) << item.what;
        EXPECT_EQ(rect.top, item.expected.top) << item.what;
        EXPECT_EQ(rect.right, item.expected.right) << item.what;
        EXPECT_EQ(rect.bottom, item.expected.bottom) << item.what;
        EXPECT_EQ((style & os::ws::Visible) != 0, item.visible) << item.what;
        EXPECT_NE(style & os::ws::Child, 0U) << item.what;
    }
}

TEST(WindowPlacementTest, HidingAVisibleWindowKeepsItsOtherStyles) {
    os::Rect rect{0, 0, 10, 10};
    unsigned style = os::ws::Visible | os::ws::Popup;
    WindowPlacement::apply(rect, style, 0, 0, 0, 0,
                           os::swp::NoMove | os::swp::NoSize | os::swp::HideWindow);
    EXPECT_EQ(style, os::ws::Popup);
}

TEST(WindowPlacementTest, AnOwnedPopUpIsTopLevelAndAContainedChildIsNot) {
    EXPECT_TRUE(WindowPlacement::isTopLevel(0));
    EXPECT_TRUE(WindowPlacement::isTopLevel(os::ws::Popup));
    EXPECT_TRUE(WindowPlacement::isTopLevel(os::ws::Popup | os::ws::Child));
    EXPECT_FALSE(WindowPlacement::isTopLevel(os::ws::Child | os::ws::Visible));
}

}  // namespace
