// The program's start-up and shutdown on the simulated desktop, run against a program
// directory the test makes: what the user sees when the program may not run, and that every
// start-up failure leaves nothing behind that would stop the next start.
#include "config/clipboard/PXToolTipFactory.h"
#include "config/tab/DialogTemplates.h"
#include "config/tab/PropertySheetBase.h"
#include "os/Dialogs.h"
#include "os/SystemInfo.h"
#include "os/Windows.h"
#include "support/PlatformText.h"
#include "support/ProgramRun.h"
#include "windows/hook/HookLibrary.h"
#include "windows/hook/KeyboardHook.h"
#include "windows/process/AttachThreadInputLibrary.h"

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using products::pastrix::config::clipboard::PXToolTipFactory;
using products::pastrix::config::tab::PropertySheetBase;
using testing::EndsWith;
using testing::HasSubstr;
using testing::StartsWith;
namespace newsletter = products::pastrix::config::tab::templates::newsletter;
namespace sheetIds = products::pastrix::config::tab::templates::sheet;

constexpr int KeyboardHookType = 2;
constexpr int MouseHookType = 7;
const char* const CorruptConfig = "\n\nThe config file is corrupt, please reinstall the program.";

class StartUpTest : public testing_support::ProgramRunTest {
protected:
    // The settings window came up, and went with "Shutdown".
    bool ranTheSettingsWindow() const {
        for (const auto& run : desktop.views.modalRuns()) {
            if (run.templateId == sheetIds::Dialog) {
                return run.result == os::id::Cancel;
            }
        }
        return false;
    }

    // A clean run: the window up and down, and no error box.
    void expectCleanRun() {
        const auto shown = desktop.views.modalRuns().size();
        whileRunning([](os::sim::HeadlessView&) {});
        run();
        EXPECT_EQ(desktop.views.modalRuns().size(), shown + 1);
        EXPECT_TRUE(ranTheSettingsWindow());
        EXPECT_TRUE(errorBoxes().empty());
    }
};

TEST_F(StartUpTest, RunsTheSettingsWindowFromTheProgramDirectoryAndLeavesNothingRunning) {
    whileRunning([&](os::sim::HeadlessView& view) {
        EXPECT_EQ(std::filesystem::current_path(), programDirectory);
        EXPECT_EQ(view.caption(), "Default - Pastrix");
        EXPECT_EQ(view.tabs(),
                  (std::vector<std::string>{"System", "Pastrix", "Cool Keys", "About"}));
        EXPECT_EQ(view.getText(sheetIds::Cancel), "Shutdown");
        EXPECT_NE(desktop.windows.findWindow(PXToolTipFactory::ClassName), 0U);
        EXPECT_EQ(desktop.hooks.installedHooks(KeyboardHookType), 1U);
        EXPECT_EQ(desktop.hooks.installedHooks(MouseHookType), 1U);
    });
    run();
    EXPECT_TRUE(ranTheSettingsWindow());
    EXPECT_TRUE(errorBoxes().empty());
    EXPECT_EQ(desktop.windows.findWindow(PXToolTipFactory::ClassName), 0U);
    EXPECT_TRUE(desktop.statusArea.icons().empty());
    // The hooks were stopped and told the library so: the next copy can start.
    EXPECT_EQ(desktop.hooks.installedHooks(KeyboardHookType), 0U);
    EXPECT_EQ(desktop.hooks.installedHooks(MouseHookType), 0U);
    expectCleanRun();
}

TEST_F(StartUpTest, ASecondCopyIsRefusedBeforeItTouchesAnything) {
    os::WindowClass windowClass;
    windowClass.className = PXToolTipFactory::ClassName;
    windowClass.procedure = [](os::WindowHandle, unsigned, std::uintptr_t, std::intptr_t) {
        return std::intptr_t{0};
    };
    ASSERT_TRUE(desktop.windows.registerClass(windowClass));
    os::WindowCreation creation;
    creation.className = PXToolTipFactory::ClassName;
    ASSERT_NE(desktop.windows.createWindow(creation), 0U);
    // Without the library the first copy's start would fail, after the check.
    std::filesystem::remove(programDirectory / windows::hook::LibraryFileName);

    run();
    EXPECT_EQ(errorBoxes(), (std::vector<std::string>{"Pastrix is already running.\n"}));
    EXPECT_TRUE(desktop.views.modalRuns().empty());
    EXPECT_EQ(std::filesystem::current_path(), directory);
}

TEST_F(StartUpTest, RefusesWindows95) {
    os::VersionInfo version;
    version.platformId = os::PlatformWindows;
    version.majorVersion = 4;
    version.minorVersion = 0;
    desktop.systemInfo.setVersion(version);
    run();
    EXPECT_EQ(errorBoxes(), (std::vector<std::string>{
                                "This software is not intended to run on Windows 95. It's only "
                                "Windows 98/ME/NT/2000/XP compatible.\n"}));
    EXPECT_TRUE(desktop.views.modalRuns().empty());

    // Windows 98 is welcome.
    version.minorVersion = 10;
    desktop.systemInfo.setVersion(version);
    desktop.dialogs.clear();
    expectCleanRun();
}

TEST_F(StartUpTest, AVersionThatCannotBeReadIsShownAndEndsTheRun) {
    desktop.systemInfo.failVersionWith(5);
    run();
    const auto boxes = errorBoxes();
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_THAT(boxes[0], StartsWith("An exception occured.\nCouldn't get the windows version.\n"));
    EXPECT_TRUE(desktop.views.modalRuns().empty());
}

TEST_F(StartUpTest, AProgramDirectoryThatCannotBeEnteredIsShown) {
    std::filesystem::remove_all(programDirectory);
    run();
    const auto boxes = errorBoxes();
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_THAT(boxes[0], StartsWith("Error getting the application directory and setting that "
                                     "as the current directory: "));
    EXPECT_THAT(boxes[0], HasSubstr(programDirectory.string()));
    EXPECT_TRUE(desktop.views.modalRuns().empty());
}

TEST_F(StartUpTest, AConfigurationWithoutAKeyEndsTheRunAtTheFirstGetterThatNeedsIt) {
    pastrixctl(
        {"config", "remove", (programDirectory / "config.cfg").string(), "PX_SerializeLimit"});
    run();
    const auto boxes = errorBoxes();
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_THAT(boxes[0], StartsWith("The key does not exist. "));
    EXPECT_THAT(boxes[0], HasSubstr("Key: 'PX_SerializeLimit'"));
    EXPECT_THAT(boxes[0], EndsWith(CorruptConfig));
    EXPECT_TRUE(desktop.views.modalRuns().empty());

    // The hooks and the thread registration were let go on the way out.
    changeSetting("PX_SerializeLimit", "5000000");
    desktop.dialogs.clear();
    expectCleanRun();
}

TEST_F(StartUpTest, AMissingOrScrambledConfigurationEndsTheRun) {
    std::filesystem::remove(programDirectory / "config.cfg");
    run();
    auto boxes = errorBoxes();
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_THAT(boxes[0], StartsWith("An exception occured.\n"));
    EXPECT_THAT(boxes[0], HasSubstr("config.cfg"));

    desktop.dialogs.clear();
    writeFile("Pastrix/config.cfg", "SYSTEM_Enabled=true\r\n");  // not scrambled
    run();
    boxes = errorBoxes();
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_THAT(boxes[0], EndsWith(CorruptConfig));
    EXPECT_TRUE(desktop.views.modalRuns().empty());
}

TEST_F(StartUpTest, ANegativeSizeLimitIsRefused) {
    changeSetting("PX_SerializeLimit", "-1");
    run();
    EXPECT_EQ(errorBoxes(), (std::vector<std::string>{
                                "An config logic exception occured.The size limit of saved "
                                "clipboard slots (PX_SerializeLimit) must not be negative.\n"}));
}

TEST_F(StartUpTest, AMissingHookLibraryEndsTheRun) {
    std::filesystem::remove(programDirectory / windows::hook::LibraryFileName);
    run();
    const auto boxes = errorBoxes();
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_THAT(
        boxes[0],
        StartsWith("An exception occured.\nCouldn't load the dll: " +
                   (programDirectory / testing_support::libraryFile("clipboard")).string() + "\n"));
    EXPECT_TRUE(desktop.views.modalRuns().empty());
}

TEST_F(StartUpTest, AHookSetUpByAnotherProcessEndsTheRun) {
    // Another process's copy of the library: the desktop knows the keyboard part is taken.
    windows::hook::KeyboardHook other(
        (testProgramDirectory / testing_support::libraryFile("clipboard")).string());
    const os::WindowHandle otherWindow = desktop.windows.addWindow("another program");
    other.start(otherWindow);
    run();
    const auto boxes = errorBoxes();
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_THAT(boxes[0], StartsWith("An hook exception occured.\nAn error occured when trying to "
                                     "initialize the hook.\n"));
    EXPECT_THAT(boxes[0], HasSubstr("Check function: keyboardIsInitiated\n"));
    EXPECT_TRUE(desktop.views.modalRuns().empty());

    other.stop();
    desktop.dialogs.clear();
    expectCleanRun();
}

TEST_F(StartUpTest, AThreadRegisteredByAnotherProcessEndsTheRun) {
    {
        windows::process::AttachThreadInputLibrary other(
            (testProgramDirectory / testing_support::libraryFile("clipboard")).string());
        other.setAttachThreadInputId(4242);
    }
    run();
    const auto boxes = errorBoxes();
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_THAT(boxes[0], StartsWith("An exception occured.\nAn error occured when trying to "
                                     "initialize the hook. (AttachThreadInput)\n"));
    EXPECT_TRUE(desktop.views.modalRuns().empty());
}

TEST_F(StartUpTest, MinimizedAloneStartsInTheStatusAreaAndWithMoreArgumentsItDoesNot) {
    whileRunning([&](os::sim::HeadlessView& view) {
        EXPECT_FALSE(desktop.statusArea.icons().empty());
        EXPECT_EQ(desktop.windows.getWindowStyle(view.getHandle()) & os::ws::Visible, 0U);
    });
    run("-minimized");
    EXPECT_TRUE(ranTheSettingsWindow());

    for (const char* arguments : {"-minimized more", "-Minimized", "other", "\"-minimized\" x"}) {
        whileRunning([&](os::sim::HeadlessView& view) {
            EXPECT_TRUE(desktop.statusArea.icons().empty()) << arguments;
            EXPECT_NE(desktop.windows.getWindowStyle(view.getHandle()) & os::ws::Visible, 0U);
        });
        run(arguments);
    }
    // Quotes group and vanish, as on the system's own command line.
    whileRunning([&](os::sim::HeadlessView&) { EXPECT_FALSE(desktop.statusArea.icons().empty()); });
    run("\"-mini\"mized");
    EXPECT_TRUE(errorBoxes().empty());
}

TEST_F(StartUpTest, AnUnmatchedQuoteOnTheCommandLineEndsTheRun) {
    run("\"-minimized");
    const auto boxes = errorBoxes();
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_THAT(boxes[0], StartsWith("An exception occured.\nUnmatched \" found when parsing "
                                     "command line: "));
}

TEST_F(StartUpTest, TheNewsletterIsOfferedBeforeTheSettingsWindowAndSigningUpOpensTheBrowser) {
    changeSetting("util.newsletter.SimpleSignUp.askForEmailAddress", "true");
    changeSetting("util.newsletter.SimpleSignUp.counter", "0");
    whenModal([](os::sim::HeadlessView& view) {
        EXPECT_EQ(view.templateId(), newsletter::Dialog);
        EXPECT_TRUE(view.type(newsletter::EmailAddress, "jo@example.org"));
        EXPECT_TRUE(view.click(newsletter::Signup));
    });
    whileRunning([](os::sim::HeadlessView&) {});
    run();
    ASSERT_EQ(desktop.views.modalRuns().size(), 2U);
    EXPECT_EQ(desktop.views.modalRuns()[0].templateId, newsletter::Dialog);
    EXPECT_TRUE(ranTheSettingsWindow());
    const auto launches = desktop.shell.launches();
    ASSERT_EQ(launches.size(), 1U);
    EXPECT_EQ(launches[0].address, L"https://pastrix.org/newsletter/signup?email=jo@example.org");
    EXPECT_EQ(desktop.clock.slept(), std::chrono::milliseconds(5000));
    EXPECT_EQ(setting("util.newsletter.SimpleSignUp.askForEmailAddress"), "false");
    EXPECT_TRUE(errorBoxes().empty());

    // Never again.
    changeSetting("util.newsletter.SimpleSignUp.counter", "0");
    expectCleanRun();
    EXPECT_EQ(desktop.shell.launches().size(), 1U);
}

TEST_F(StartUpTest, AHookThatCannotBeRemovedAtShutdownIsShownAndTheRunStillEnds) {
    whileRunning([&](os::sim::HeadlessView&) {
        EXPECT_EQ(desktop.hooks.installedHooks(KeyboardHookType), 1U);
        desktop.hooks.failRemovals(5);
    });
    run();
    EXPECT_TRUE(ranTheSettingsWindow());
    const auto boxes = errorBoxes();
    ASSERT_FALSE(boxes.empty());
    // The mouse hook goes first; the keyboard hook, taken down while that failure is on its
    // way, can only be reported.
    EXPECT_THAT(boxes.back(), StartsWith("An hook exception occured.\nError removing the hook. "));
    EXPECT_EQ(boxes.size(), 3U);
    for (std::size_t i = 0; i + 1 < boxes.size(); ++i) {
        EXPECT_THAT(boxes[i], HasSubstr("Assertion failed. Message: Error removing the hook. "));
    }
    desktop.hooks.failRemovals(0);
}

}  // namespace
