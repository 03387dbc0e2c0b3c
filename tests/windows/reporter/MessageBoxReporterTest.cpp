#include "os/Dialogs.h"
#include "support/SimDesktopTest.h"
#include "windows/reporter/MessageBoxReporter.h"

#include <gtest/gtest.h>

namespace {

using MessageBoxReporterTest = testing_support::SimDesktopTest;

TEST_F(MessageBoxReporterTest, EachKindHasItsCaptionIconAndComesToTheFront) {
    windows::reporter::MessageBoxReporter reporter;
    reporter.showError("bad");
    reporter.showSuccess("good");
    reporter.showInformation("note");

    const auto shown = desktop.dialogs.shown();
    ASSERT_EQ(shown.size(), 3U);
    const struct {
        const char* text;
        const char* caption;
        unsigned icon;
    } expected[] = {{"bad", "Pastrix Error", os::mb::IconError},
                    {"good", "Pastrix Success", os::mb::IconInformation},
                    {"note", "Pastrix Information", os::mb::IconInformation}};
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(expected[i].caption);
        EXPECT_EQ(shown[i].owner, 0U);
        EXPECT_EQ(shown[i].text, expected[i].text);
        EXPECT_EQ(shown[i].caption, expected[i].caption);
        EXPECT_EQ(shown[i].style & os::mb::IconMask, expected[i].icon);
        EXPECT_EQ(shown[i].style & os::mb::ButtonsMask, os::mb::Ok);
        EXPECT_NE(shown[i].style & os::mb::SetForeground, 0U);
    }
}

}  // namespace
