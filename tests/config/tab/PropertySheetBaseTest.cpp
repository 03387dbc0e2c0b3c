// The settings sheet as the user and the hooks work with it in the headless view.

#include "config/clipboard/PXToolTipFactory.h"
#include "config/configfile/CCSettings.h"
#include "config/configfile/PXSettings.h"
#include "config/coolkeys/CKEntry.h"
#include "config/tab/CCTab.h"
#include "config/tab/DialogTemplates.h"
#include "config/tab/PXTab.h"
#include "config/tab/PropertySheetBase.h"
#include "config/workspace/Workspace.h"
#include "io/file/PlainFileReader.h"
#include "io/file/PlainFileWriter.h"
#include "os/sim/HeadlessViews.h"
#include "os/sim/SimEditor.h"
#include "support/RecordingReporter.h"
#include "support/SettingsFile.h"
#include "support/SimDesktopTest.h"
#include "windows/graphics/WindowsGraphicsException.h"
#include "windows/window/ToolTip.h"
#include "windows/window/WindowExceptions.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace {

using products::pastrix::config::clipboard::PXToolTipFactory;
using products::pastrix::config::configfile::CCSettings;
using products::pastrix::config::configfile::PXSettings;
using products::pastrix::config::tab::CCTab;
using products::pastrix::config::tab::PropertySheetBase;
using products::pastrix::config::tab::PXTab;
using products::pastrix::config::workspace::Workspace;
namespace templates = products::pastrix::config::tab::templates;
namespace ids = templates::sheet;

constexpr std::intptr_t RightButtonUp = 0x0205;
constexpr std::intptr_t LeftButtonDoubleClick = 0x0203;
constexpr std::intptr_t Released = static_cast<std::int32_t>(0xC0000001U);

// The sheet with its handlers' calls written down in the order they came.
class RecordingSheet final : public PropertySheetBase {
public:
    using PropertySheetBase::PropertySheetBase;
    std::vector<std::string> calls;

protected:
    void slotKeyEvent(int virtualKey, bool pressed) override {
        calls.push_back("slot " + std::to_string(virtualKey) + (pressed ? " down" : " up"));
        PropertySheetBase::slotKeyEvent(virtualKey, pressed);
    }
    void coolKeyEvent(unsigned virtualKey, std::uint32_t keyData) override {
        calls.push_back("cool " + std::to_string(virtualKey) + " " + std::to_string(keyData));
        PropertySheetBase::coolKeyEvent(virtualKey, keyData);
    }
};

class PropertySheetBaseTest : public testing_support::SimDesktopAssertionTest {
protected:
    PropertySheetBaseTest() {
        std::filesystem::create_directory(path("ws"));
        workspace.open("ws");
    }

    void make(bool startMinimized) {
        sheet = std::make_unique<RecordingSheet>(reporter, *file.config, slotPage, coolKeys,
                                                 "Pastrix", factory, startMinimized);
        sheet->addPage(slotPage);
        sheet->addPage(aboutPage);
    }

    // Runs the sheet with what the user does in it; the sheet is shut down afterwards
    // unless the script ended it.
    int run(const std::function<void(os::sim::HeadlessView&)>& script,
            bool startMinimized = false) {
        make(startMinimized);
        desktop.views.whenModal([&](os::sim::HeadlessView& view) {
            script(view);
            if (!view.hasEnded()) {
                view.click(ids::Cancel);
            }
        });
        return sheet->DoModal();
    }

    CCSettings& coolKeysOn() {
        coolKeySettings.setEnabled(true);
        return coolKeySettings;
    }

    bool isShown(const os::sim::HeadlessView& view) const {
        return (desktop.windows.getWindowStyle(view.getHandle()) & os::ws::Visible) != 0;
    }

    testing_support::RecordingReporter reporter;
    testing_support::SettingsFile file;
    PXSettings settings{*file.config, reporter};
    Workspace workspace{reporter, 0, directory.string()};
    PXTab slotPage{reporter, workspace, settings};
    CCSettings coolKeySettings{*file.config, reporter};
    CCTab coolKeys{reporter, workspace, coolKeysOn()};
    windows::mfc::PropertyPage aboutPage{templates::about::dialogTemplate()};
    PXToolTipFactory factory{workspace, true};
    std::unique_ptr<RecordingSheet> sheet;
};

TEST_F(PropertySheetBaseTest, ShowsThePagesAndTheRenamedButtonsUntilShutdown) {
    const int result = run([&](os::sim::HeadlessView& view) {
        EXPECT_EQ(view.tabs(), (std::vector<std::string>{"Pastrix", "About"}));
        EXPECT_EQ(view.currentTab(), 0);
        EXPECT_EQ(view.getText(ids::Cancel), "Shutdown");
        EXPECT_EQ(view.getText(ids::Ok), "Minimize");
        EXPECT_EQ(view.getText(ids::Help), "Help");
        EXPECT_EQ(view.sheetFlags(), 0x8CU);
        EXPECT_EQ(view.frameStyle() & (os::ws::MinimizeBox | os::ws::SysMenu),
                  os::ws::MinimizeBox | os::ws::SysMenu);
        EXPECT_NE(view.icon(), 0U);
        EXPECT_TRUE(view.toolTipsEnabled());
        const auto menu = view.systemMenu();
        ASSERT_GT(menu.size(), 3U);
        EXPECT_EQ(menu[3].command, os::sc::Minimize);
        EXPECT_EQ(menu[3].text, "Mi&nimize");
        // "Help" opens the manual.
        EXPECT_TRUE(view.click(ids::Help));
        const auto launches = desktop.shell.launches();
        ASSERT_EQ(launches.size(), 1U);
        EXPECT_NE(launches[0].file.find("manual.html"), std::string::npos);
        EXPECT_TRUE(view.click(ids::Cancel));
    });
    EXPECT_EQ(result, os::id::Cancel);
    EXPECT_TRUE(desktop.statusArea.icons().empty());
    EXPECT_TRUE(assertions.reports.empty());
}

TEST_F(PropertySheetBaseTest, HandsKeyEventsToTheSlotHandlerBeforeCoolKeys) {
    run([&](os::sim::HeadlessView& view) {
        const os::WindowHandle window = view.getHandle();
        // The first paint of the shown sheet goes first.
        view.pumpMessages();
        desktop.windows.postMessage(window, PropertySheetBase::KeyEventMessage, 'A', 1);
        desktop.windows.postMessage(window, PropertySheetBase::KeyEventMessage, 'A', Released);
        desktop.windows.postMessage(window, PropertySheetBase::MouseEventMessage, 0, 0);
        EXPECT_EQ(view.pumpMessages(), 3);
    });
    EXPECT_EQ(sheet->calls, (std::vector<std::string>{"slot 65 down", "cool 65 1", "slot 65 up",
                                                      "cool 65 3221225473", "slot 1 up"}));
}

TEST_F(PropertySheetBaseTest, KeyEventsReachTheCoolKeysEngine) {
    io::file::PlainFileReader reader;
    io::file::PlainFileWriter writer;
    products::pastrix::config::coolkeys::CKEntry entry(reader, writer);
    entry.setAbbreviation("btw");
    entry.setExpand("by the way");
    workspace.saveCoolKey(entry);
    os::sim::SimEditor editor{desktop, "notes.txt - Editor"};
    run([&](os::sim::HeadlessView& view) {
        for (const char key : std::string("BTW")) {
            desktop.windows.postMessage(view.getHandle(), PropertySheetBase::KeyEventMessage,
                                        static_cast<unsigned char>(key), 1);
        }
        view.pumpMessages();
    });
    // Without the hooks the editor saw only the expansion: three Backspaces and the text.
    EXPECT_EQ(editor.text(), "by the way");
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(PropertySheetBaseTest, MovesToAndFromTheStatusArea) {
    run([&](os::sim::HeadlessView& view) {
        const os::WindowHandle window = view.getHandle();
        EXPECT_TRUE(view.click(ids::Ok));
        EXPECT_TRUE(sheet->isInStatusArea());
        EXPECT_FALSE(isShown(view));
        const auto calls = desktop.statusArea.calls();
        ASSERT_EQ(calls.size(), 1U);
        EXPECT_EQ(calls[0].operation, os::nim::Add);
        EXPECT_EQ(calls[0].data.id, 100U);
        EXPECT_EQ(calls[0].data.flags, 7U);
        EXPECT_EQ(calls[0].data.callbackMessage, 0x8004U);
        EXPECT_EQ(calls[0].data.tip, "Click to open Pastrix");

        // Other buttons and double clicks on the icon do nothing.
        for (const std::intptr_t mouse : {RightButtonUp, LeftButtonDoubleClick}) {
            view.send(PropertySheetBase::StatusAreaCallbackMessage, 100, mouse);
            EXPECT_TRUE(sheet->isInStatusArea());
        }
        view.send(PropertySheetBase::StatusAreaCallbackMessage, 100, 0x0202);
        EXPECT_FALSE(sheet->isInStatusArea());
        EXPECT_TRUE(isShown(view));
        EXPECT_EQ(desktop.windows.getForegroundWindow(), window);
        EXPECT_TRUE(desktop.statusArea.icons().empty());

        // The close box hides the window as well and the run goes on.
        EXPECT_TRUE(view.systemCommand(os::sc::Close));
        EXPECT_TRUE(sheet->isInStatusArea());
        EXPECT_FALSE(view.hasEnded());
        // Destroying the window takes the icon away.
        sheet->DestroyWindow();
        EXPECT_TRUE(desktop.statusArea.icons().empty());
    });
    EXPECT_TRUE(desktop.clock.sleeps().empty());
    EXPECT_TRUE(assertions.reports.empty());
}

TEST_F(PropertySheetBaseTest, EndingTheRunFromTheStatusAreaLeavesNoIcon) {
    run([&](os::sim::HeadlessView& view) {
        EXPECT_TRUE(view.click(ids::Ok));
        EXPECT_EQ(desktop.statusArea.icons().size(), 1U);
    });
    EXPECT_TRUE(desktop.statusArea.icons().empty());
    EXPECT_FALSE(sheet->isInStatusArea());
    EXPECT_TRUE(assertions.reports.empty());
}

TEST_F(PropertySheetBaseTest, RetriesTheStatusAreaEightTimesThenReportsOnce) {
    desktop.statusArea.failWith(5);
    run([&](os::sim::HeadlessView& view) {
        EXPECT_TRUE(view.systemCommand(os::sc::Minimize));
        EXPECT_TRUE(view.isMinimized());
        EXPECT_FALSE(sheet->isInStatusArea());
        EXPECT_TRUE(isShown(view));
    });
    EXPECT_EQ(desktop.statusArea.calls().size(), 8U);
    EXPECT_EQ(desktop.clock.sleeps(),
              std::vector<std::chrono::milliseconds>(8, std::chrono::milliseconds(1000)));
    ASSERT_EQ(reporter.messages.size(), 1U);
    const std::string& message = reporter.messages[0];
    EXPECT_EQ(message.rfind("Couldn't move the window to the status area.Error when moving", 0),
              0U);
    EXPECT_NE(message.find("'Shell_NotifyIcon'.\nTries: 8.\nError code: 5.\n"), std::string::npos);
}

TEST_F(PropertySheetBaseTest, StopsRetryingAtTheFirstSuccess) {
    desktop.statusArea.failWith(5, 7);
    run([&](os::sim::HeadlessView& view) {
        EXPECT_TRUE(view.click(ids::Ok));
        EXPECT_TRUE(sheet->isInStatusArea());
        EXPECT_EQ(desktop.statusArea.calls().size(), 8U);
    });
    EXPECT_EQ(desktop.clock.sleeps().size(), 7U);
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(PropertySheetBaseTest, RestoringFailureKeepsTheWindowHiddenAndReports) {
    run([&](os::sim::HeadlessView& view) {
        EXPECT_TRUE(view.click(ids::Ok));
        desktop.statusArea.failWith(5);
        view.send(PropertySheetBase::StatusAreaCallbackMessage, 100, 0x0202);
        EXPECT_TRUE(sheet->isInStatusArea());
        EXPECT_FALSE(isShown(view));
        desktop.statusArea.failWith(0, 0);
        sheet->DestroyWindow();
    });
    ASSERT_EQ(reporter.messages.size(), 1U);
    EXPECT_EQ(reporter.messages[0].rfind("Couldn't move the window from the status area.", 0), 0U);
    EXPECT_TRUE(desktop.statusArea.icons().empty());
}

TEST_F(PropertySheetBaseTest, MinimizeButtonFailureLeavesTheLoop) {
    desktop.statusArea.failWith(5);
    EXPECT_THROW(run([&](os::sim::HeadlessView& view) { view.click(ids::Ok); }),
                 windows::window::StatusAreaException);
    EXPECT_FALSE(sheet->isInStatusArea());
}

TEST_F(PropertySheetBaseTest, MissingIconEndsTheRunBeforeAnyNotification) {
    desktop.statusArea.removeIconResource(100);
    EXPECT_THROW(run([](os::sim::HeadlessView&) {}), windows::graphics::WindowsGraphicsException);
    EXPECT_TRUE(desktop.statusArea.calls().empty());
}

TEST_F(PropertySheetBaseTest, StartsMinimizedAndCentresOnTheFirstRestoreOnly) {
    run(
        [&](os::sim::HeadlessView& view) {
            const os::WindowHandle window = view.getHandle();
            // The request waits in the queue until the sheet is fully shown.
            EXPECT_FALSE(sheet->isInStatusArea());
            EXPECT_GE(view.pumpMessages(), 1);
            EXPECT_TRUE(sheet->isInStatusArea());
            EXPECT_FALSE(isShown(view));

            view.send(PropertySheetBase::StatusAreaCallbackMessage, 100, 0x0202);
            os::Rect rect;
            ASSERT_TRUE(desktop.windows.getWindowRect(window, rect));
            const int width = rect.right - rect.left;
            const int height = rect.bottom - rect.top;
            EXPECT_EQ(rect.left, (1024 - width) / 2);
            EXPECT_EQ(rect.top, (768 - height) / 2);
            EXPECT_TRUE(sheet->wasCenteredOnce());

            // Where the user puts it, it stays.
            desktop.windows.setWindowPos(window, 0, 10, 20, 0, 0, os::swp::NoSize);
            EXPECT_TRUE(view.click(ids::Ok));
            view.send(PropertySheetBase::StatusAreaCallbackMessage, 100, 0x0202);
            ASSERT_TRUE(desktop.windows.getWindowRect(window, rect));
            EXPECT_EQ(rect.left, 10);
            EXPECT_EQ(rect.top, 20);
        },
        true);
    EXPECT_TRUE(assertions.reports.empty());
}

TEST_F(PropertySheetBaseTest, RunsTheToolTipThreadWhileTheLoopRuns) {
    os::WindowHandle tipWindow = 0;
    run([&](os::sim::HeadlessView& view) {
        ASSERT_NE(sheet->getToolTipThread(), nullptr);
        tipWindow = desktop.windows.findWindow(PXToolTipFactory::ClassName);
        EXPECT_NE(tipWindow, 0U);
        EXPECT_NE(windows::window::ToolTip::getInstance(), nullptr);
        EXPECT_EQ(view.getHandle() != 0, true);
    });
    // The loop's end stops the thread, which takes its window with it.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (desktop.windows.isWindow(tipWindow) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_FALSE(desktop.windows.isWindow(tipWindow));
    sheet.reset();
    EXPECT_EQ(windows::window::ToolTip::getInstance(), nullptr);
}

TEST_F(PropertySheetBaseTest, ReportsARestoreOfAWindowThatIsShown) {
    run([&](os::sim::HeadlessView&) {
        // No icon to remove: the steps still run and fail as the system's call does.
        EXPECT_THROW(sheet->moveFromStatusArea(), windows::window::StatusAreaException);
    });
    EXPECT_TRUE(assertions.reported("_isInStatusArea"));
    EXPECT_FALSE(assertions.reported("!_isInStatusArea"));
}

}  // namespace
