// The newsletter dialog as the user fills it in.
#include "config/tab/DialogTemplates.h"
#include "config/tab/NewsletterDialog.h"
#include "os/Dialogs.h"
#include "os/sim/HeadlessViews.h"
#include "support/RecordingReporter.h"
#include "support/SimDesktopTest.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using products::pastrix::config::tab::NewsletterDialog;
namespace ids = products::pastrix::config::tab::templates::newsletter;

class NewsletterDialogTest : public testing_support::SimDesktopAssertionTest {
protected:
    testing_support::RecordingReporter reporter;
    NewsletterDialog dialog{ids::Bitmap, reporter};
};

TEST_F(NewsletterDialogTest, ShowsItsPictureAndTextsAndStartsEmpty) {
    desktop.views.whenModal([](os::sim::HeadlessView& view) {
        EXPECT_EQ(view.caption(), "Please sign up for the newsletter");
        EXPECT_EQ(view.getText(ids::Signup), "Signup");
        EXPECT_EQ(view.getText(ids::Skip), "Skip");
        EXPECT_EQ(view.getText(ids::Picture), "newsletter.png");
        EXPECT_EQ(view.getText(ids::EmailAddress), "");
        EXPECT_TRUE(view.click(ids::Skip));
    });
    EXPECT_EQ(dialog.DoModal(), os::id::Cancel);
    EXPECT_EQ(dialog.getEmailAddress(), "");
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(NewsletterDialogTest, AnInvalidAddressKeepsTheDialogOpenUntilAValidOneIsGiven) {
    desktop.views.whenModal([](os::sim::HeadlessView& view) {
        for (const char* invalid : {"ab@c.de", "jo.examplec@om", "jo@x@ample.org"}) {
            EXPECT_TRUE(view.type(ids::EmailAddress, invalid));
            EXPECT_TRUE(view.click(ids::Signup));
            EXPECT_FALSE(view.hasEnded()) << invalid;
        }
        EXPECT_TRUE(view.type(ids::EmailAddress, "jo@example.org"));
        EXPECT_TRUE(view.click(ids::Signup));
        EXPECT_TRUE(view.hasEnded());
    });
    EXPECT_EQ(dialog.DoModal(), os::id::Ok);
    EXPECT_EQ(dialog.getEmailAddress(), "jo@example.org");
    EXPECT_EQ(reporter.messages, (std::vector<std::string>{
                                     "The email address 'ab@c.de' seems to be invalid.",
                                     "The email address 'jo.examplec@om' seems to be invalid.",
                                     "The email address 'jo@x@ample.org' seems to be invalid."}));
}

TEST_F(NewsletterDialogTest, SkipNeedsNoValidAddress) {
    desktop.views.whenModal([](os::sim::HeadlessView& view) {
        EXPECT_TRUE(view.type(ids::EmailAddress, "nonsense"));
        EXPECT_TRUE(view.click(ids::Skip));
    });
    EXPECT_EQ(dialog.DoModal(), os::id::Cancel);
    EXPECT_TRUE(reporter.messages.empty());
}

}  // namespace
