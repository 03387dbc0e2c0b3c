#include "os/ErrorCodes.h"
#include "os/Port.h"
#include "os/common/DialogFrame.h"
#include "support/SimDesktopTest.h"

namespace {

using os::common::DialogFrame;

std::vector<int> commands(const std::vector<DialogFrame::MenuItem>& menu) {
    std::vector<int> result;
    for (const DialogFrame::MenuItem& item : menu) {
        result.push_back(item.command);
    }
    return result;
}

using DialogFrameTest = testing_support::SimDesktopTest;

TEST_F(DialogFrameTest, TheSystemMenuExistsOnlyWhileTheStyleAsksForIt) {
    DialogFrame frame;
    os::errors().setLastError(os::error::Success);
    EXPECT_FALSE(frame.insertMenuItem(0, os::sc::Minimize, "Mi&nimize", os::errors()));
    EXPECT_EQ(os::errors().lastError(), os::error::InvalidParameter);
    EXPECT_TRUE(frame.menu().empty());

    frame.modifyStyle(0, os::ws::SysMenu | os::ws::MinimizeBox);
    EXPECT_EQ(frame.style(), os::ws::SysMenu | os::ws::MinimizeBox);
    EXPECT_EQ(commands(frame.menu()), (std::vector<int>{0xF010, 0, os::sc::Close}));

    // Items inserted stay when the menu goes away and comes back.
    ASSERT_TRUE(frame.insertMenuItem(1, os::sc::Minimize, "Mi&nimize", os::errors()));
    frame.modifyStyle(os::ws::SysMenu, 0);
    EXPECT_TRUE(frame.menu().empty());
    EXPECT_EQ(frame.style(), os::ws::MinimizeBox);
    frame.modifyStyle(0, os::ws::SysMenu);
    EXPECT_EQ(commands(frame.menu()),
              (std::vector<int>{0xF010, os::sc::Minimize, 0, os::sc::Close}));
}

TEST_F(DialogFrameTest, APositionOutOfRangeAppends) {
    for (const int position : {-1, 3, 99}) {
        DialogFrame frame;
        frame.modifyStyle(0, os::ws::SysMenu);
        ASSERT_TRUE(frame.insertMenuItem(position, 0x1234, "&About", os::errors()));
        const std::vector<DialogFrame::MenuItem> menu = frame.menu();
        ASSERT_EQ(menu.size(), 4U) << position;
        EXPECT_EQ(menu.back().command, 0x1234) << position;
        EXPECT_EQ(menu.back().text, "&About") << position;
    }
}

}  // namespace
