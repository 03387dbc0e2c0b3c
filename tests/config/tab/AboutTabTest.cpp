// The About page in the headless view, and the manual, with launches on the simulated
// desktop's shell.
#include "config/configfile/SupportSettings.h"
#include "config/tab/AboutTab.h"
#include "config/tab/DialogTemplates.h"
#include "os/Dialogs.h"
#include "os/ErrorCodes.h"
#include "os/sim/HeadlessViews.h"
#include "platform/errorresources/SystemErrors.h"
#include "support/PlatformText.h"
#include "support/RecordingReporter.h"
#include "support/SettingsFile.h"
#include "support/SimDesktopTest.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using os::sim::SimShell;
using products::pastrix::config::configfile::SupportSettings;
using products::pastrix::config::tab::AboutTab;
using products::pastrix::config::tab::openManual;
namespace ids = products::pastrix::config::tab::templates::about;

const char* const questionText =
    "Before you ask us, please look in the manual and FAQ. They cover the most of the "
    "questions.\nThat is also the fastest way to get your questions answers.\n\nWould you like "
    "to have a look in the manual ?";

std::string errorText(int code) {
    return platform::errorresources::SystemErrors::map(code);
}

class AboutTabTest : public testing_support::SimDesktopTest {
protected:
    os::sim::HeadlessView& show(const std::string& product = "Pastrix") {
        page = std::make_unique<AboutTab>(reporter, product, settings);
        page->create(0);
        os::sim::HeadlessView* view = desktop.views.find(ids::Dialog);
        EXPECT_NE(view, nullptr);
        view->activate();
        return *view;
    }

    std::vector<SimShell::Launch> launches() const { return desktop.shell.launches(); }

    std::string manualAddress() const {
        return "file://" + std::filesystem::current_path().string() + testing_support::separator() +
               "manual.html";
    }

    testing_support::RecordingReporter reporter;
    testing_support::SettingsFile file;
    SupportSettings settings{*file.config, reporter};
    std::unique_ptr<AboutTab> page;
};

TEST_F(AboutTabTest, ShowsTheTitleInBoldAndTheLinksUnderlinedInBlue) {
    os::sim::HeadlessView& view = show();
    EXPECT_EQ(view.getText(ids::Title), "Pastrix version 1.2 by Velbrook.");
    const os::FontStyle title = view.getFont(ids::Title);
    EXPECT_EQ(title.weight, 700);
    EXPECT_FALSE(title.underline);
    for (const int link : {ids::Homepage, ids::Question}) {
        const os::FontStyle font = view.getFont(link);
        EXPECT_TRUE(font.underline);
        EXPECT_EQ(font.weight, 400);
        EXPECT_EQ(font.face, title.face);
        EXPECT_EQ(font.height, title.height);
        EXPECT_EQ(view.textColour(link), 0x00CC0000U);
    }
    EXPECT_EQ(view.textColour(ids::Title), 0U);
    EXPECT_EQ(view.getText(ids::Homepage), "Click here to visit our homepage");
    EXPECT_EQ(view.getText(ids::Question), "Click here to ask us a question");
    EXPECT_NE(view.getText(ids::Description), "Description");
    EXPECT_TRUE(view.toolTipsEnabled());
}

TEST_F(AboutTabTest, TheHomepageLinkOpensTheBrowser) {
    os::sim::HeadlessView& view = show();
    ASSERT_TRUE(view.click(ids::Homepage));
    ASSERT_EQ(launches().size(), 1U);
    EXPECT_EQ(launches()[0].kind, SimShell::Launch::Kind::Navigate);
    EXPECT_EQ(launches()[0].address, L"https://pastrix.org/");
    EXPECT_TRUE(reporter.messages.empty());

    desktop.shell.failWith(os::error::AccessDenied);
    ASSERT_TRUE(view.click(ids::Homepage));
    EXPECT_EQ(reporter.messages,
              (std::vector<std::string>{
                  "Couldn't navigate to the homepage.\nError when trying to launch internet "
                  "browser.\nTried to open:\nhttps://pastrix.org/\n\n" +
                  errorText(os::error::AccessDenied)}));
}

TEST_F(AboutTabTest, TheQuestionLinkOffersTheManualFirst) {
    os::sim::HeadlessView& view = show();
    desktop.dialogs.answerNext(os::id::Yes);
    ASSERT_TRUE(view.click(ids::Question));
    ASSERT_EQ(desktop.dialogs.shown().size(), 1U);
    const auto question = desktop.dialogs.shown()[0];
    EXPECT_EQ(question.text, questionText);
    EXPECT_EQ(question.caption, "Would you like to have a look in the manual ?");
    EXPECT_EQ(question.style, os::mb::IconQuestion | os::mb::YesNo);
    EXPECT_EQ(question.owner, view.getHandle());
    ASSERT_EQ(launches().size(), 1U);
    EXPECT_EQ(launches()[0].operation, "open");
    EXPECT_EQ(launches()[0].file, manualAddress());

    // No: a mail to support, the product name unescaped in the subject.
    os::sim::HeadlessView& named = show("Pastrix Pro");
    ASSERT_TRUE(named.click(ids::Question));
    ASSERT_EQ(launches().size(), 2U);
    EXPECT_EQ(launches()[1].operation, "open");
    EXPECT_EQ(launches()[1].file, "mailto:support@pastrix.org?subject=Pastrix Pro");
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(AboutTabTest, LaunchFailuresAreShownAndThePageStaysUsable) {
    os::sim::HeadlessView& view = show();
    desktop.shell.failWith(os::error::NoAssociation);
    ASSERT_TRUE(view.click(ids::Question));
    desktop.dialogs.answerNext(os::id::Yes);
    ASSERT_TRUE(view.click(ids::Question));
    const std::string reason = errorText(os::error::NoAssociation);
    EXPECT_EQ(reporter.messages,
              (std::vector<std::string>{
                  "Couldn't launch your mail program.\nError when trying to run command "
                  "(ShellExecute) mailto:support@pastrix.org?subject=Pastrix\n" +
                      reason,
                  "Couldn't launch your browser with the help file.\nError when trying to run "
                  "command (ShellExecute) " +
                      manualAddress() + "\n" + reason +
                      "\nPlease try to open the file (manual.html) manually from explorer."}));
}

TEST_F(AboutTabTest, TheManualNeedsTheCurrentDirectory) {
    openManual(reporter);
    ASSERT_EQ(launches().size(), 1U);
    EXPECT_EQ(launches()[0].file, manualAddress());

    // A current directory that was removed cannot be named.
    std::filesystem::create_directory(path("gone"));
    std::filesystem::current_path(path("gone"));
    std::error_code refused;
    std::filesystem::remove(path("gone"), refused);
    if (refused) {
        // Windows keeps a process's current directory from being removed.
        std::filesystem::current_path(directory);
        GTEST_SKIP() << "the system does not remove a current directory: " << refused.message();
    }
    openManual(reporter);
    std::filesystem::current_path(directory);
    EXPECT_EQ(launches().size(), 1U);
    ASSERT_EQ(reporter.messages.size(), 1U);
    const std::string& message = reporter.messages[0];
    EXPECT_EQ(message.rfind("An exception was caught when trying to view the help file.\n"
                            "Couldn't get the current directory.\n",
                            0),
              0U);
    EXPECT_EQ(message.substr(message.size() - 60),
              "\n\nHowever you can browse these files manually from explorer.");
}

}  // namespace
