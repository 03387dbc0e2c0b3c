#include "os/Port.h"
#include "support/PlatformText.h"
#include "support/SimDesktopTest.h"
#include "windows/process/AttachThreadInputLibrary.h"
#include "windows/process/ProcessExceptions.h"

#include <thread>

#include <gtest/gtest.h>

namespace {

using windows::process::AttachThreadInputException;
using windows::process::AttachThreadInputLibrary;

using AttachThreadInputLibraryTest = testing_support::SimDesktopAssertionTest;

TEST_F(AttachThreadInputLibraryTest, TheRegisteredThreadIsSeenByEveryLoadAndBlocksASecondStart) {
    const os::ThreadId self = os::threads().getCurrentThreadId();
    os::ThreadId other = 0;
    std::thread([&] { other = os::threads().getCurrentThreadId(); }).join();
    EXPECT_NE(self, 0U);
    EXPECT_NE(other, 0U);
    EXPECT_NE(self, other);

    AttachThreadInputLibrary first(testing_support::libraryFile("clipboard"));
    EXPECT_EQ(first.getAttachThreadInputId(), 0U);
    first.setAttachThreadInputId(self);
    EXPECT_EQ(first.getAttachThreadInputId(), self);
    try {
        AttachThreadInputLibrary second(testing_support::libraryFile("clipboard"));
        FAIL() << "a second registration was accepted";
    } catch (const AttachThreadInputException& e) {
        EXPECT_EQ(e.getMessage(),
                  "An error occured when trying to initialize the hook. (AttachThreadInput)\nMost "
                  "likely the cause is that another hook is already running.\n\nTo solve this, "
                  "please\n1. close all running applications and try to start this program "
                  "again.\n2. if step 1 did not solve the problem, please try to restart your "
                  "computer and run this program again.\n");
    }
    // Clearing the registration lets the next program in.
    first.setAttachThreadInputId(0);
    AttachThreadInputLibrary next(testing_support::libraryFile("clipboard"));
    EXPECT_EQ(next.getAttachThreadInputId(), 0U);
    EXPECT_TRUE(assertions.reports.empty());
}

}  // namespace
