#include "os/common/Monitors.h"

#include <gtest/gtest.h>

namespace {

using os::common::Monitors;

bool same(const std::optional<os::Rect>& found, const os::Rect& expected) {
    return found && found->left == expected.left && found->top == expected.top &&
           found->right == expected.right && found->bottom == expected.bottom;
}

TEST(MonitorsTest, APointBelongsToTheMonitorShowingItOrTheNearestOne) {
    // Two monitors side by side, the right one lower and smaller, with a gap below it.
    const os::Rect left{0, 0, 1280, 1024};
    const os::Rect right{1280, 200, 2304, 968};
    const std::vector<os::Rect> monitors{left, right};

    EXPECT_TRUE(same(Monitors::holding(monitors, {100, 100}), left));
    EXPECT_TRUE(same(Monitors::holding(monitors, {1279, 1023}), left));
    // Right and bottom edges belong to the next monitor or to none.
    EXPECT_TRUE(same(Monitors::holding(monitors, {1280, 500}), right));
    EXPECT_TRUE(same(Monitors::holding(monitors, {2303, 967}), right));
    // Below the right monitor, in the gap: the right one is 32 pixels away, the left 1024.
    EXPECT_TRUE(same(Monitors::holding(monitors, {2300, 1000}), right));
    // Off the desktop above the right monitor, nearer to the left one's top edge.
    EXPECT_TRUE(same(Monitors::holding(monitors, {1300, -10}), left));
    EXPECT_TRUE(same(Monitors::holding(monitors, {-50000, 50000}), left));
}

TEST(MonitorsTest, NoMonitorOrOnlyEmptyOnesTellNothing) {
    EXPECT_FALSE(Monitors::holding({}, {0, 0}).has_value());
    EXPECT_FALSE(Monitors::holding({{10, 10, 10, 500}, {0, 0, 800, 0}}, {5, 5}).has_value());
    EXPECT_TRUE(
        same(Monitors::holding({{0, 0, 0, 0}, {0, 0, 800, 600}}, {0, 0}), {0, 0, 800, 600}));
}

}  // namespace
