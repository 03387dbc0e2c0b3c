// The slot viewer, opened from the slot settings page in the headless view, with slots
// filled from the clipboard and by copy gestures while it is open.
#include "config/clipboard/PXToolTip.h"
#include "config/clipboard/ViewerRefreshMessage.h"
#include "config/configfile/PXSettings.h"
#include "config/tab/DialogTemplates.h"
#include "config/tab/PXTab.h"
#include "config/workspace/Workspace.h"
#include "os/Clipboard.h"
#include "os/Dialogs.h"
#include "os/sim/HeadlessViews.h"
#include "os/sim/SimEditor.h"
#include "support/RecordingReporter.h"
#include "support/SettingsFile.h"
#include "support/SimDesktopTest.h"
#include "windows/hook/HookLibrary.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using os::posix::InProcessClipboard;
using products::pastrix::config::clipboard::PXToolTip;
using products::pastrix::config::configfile::PXSettings;
using products::pastrix::config::tab::PXTab;
using products::pastrix::config::workspace::Workspace;
using Rows = std::vector<std::vector<std::string>>;
namespace pxtab = products::pastrix::config::tab::templates::pxtab;
namespace viewer = products::pastrix::config::tab::templates::viewclipboards;
namespace hook = windows::hook;

constexpr int DeleteKey = 46;

class ViewClipboardsTest : public testing_support::SimDesktopAssertionTest {
protected:
    ViewClipboardsTest() {
        std::filesystem::create_directory(path("ws"));
        workspace.open("ws");
        page.create(0);
        pageView = desktop.views.find(pxtab::Dialog);
        page.attachToolTip(&tooltip);
    }

    ~ViewClipboardsTest() override { page.attachToolTip(nullptr); }

    void fill(int key, const std::vector<InProcessClipboard::Format>& formats,
              const std::string& location = "") {
        desktop.clipboard.setContent(formats);
        ASSERT_TRUE(workspace.setFromCurrentClipboard(static_cast<unsigned>(key)));
        workspace.getClipboards()[static_cast<std::size_t>(key)]->setCaption(location);
        workspace.saveClipboard(static_cast<unsigned>(key));
    }

    static InProcessClipboard::Format text(const std::string& content) {
        return {os::cf::Text, content + std::string(1, '\0')};
    }

    // Opens the viewer with the page's button; the script plays the user inside it.
    void openViewer(os::sim::HeadlessViews::Script script) {
        desktop.views.whenModal(std::move(script));
        ASSERT_TRUE(pageView->click(pxtab::Clipboards));
    }

    testing_support::RecordingReporter reporter;
    testing_support::SettingsFile file;
    PXSettings settings{*file.config, reporter};
    Workspace workspace{reporter, 0, directory.string()};
    PXToolTip tooltip{workspace, "ViewClipboardsTestToolTip", 0, true};
    PXTab page{reporter, workspace, settings};
    os::sim::HeadlessView* pageView = nullptr;
};

TEST_F(ViewClipboardsTest, ListsEveryFilledSlotWithItsPreviewAndDataTypes) {
    fill('K', {text("hello\r\nworld")}, "notes.txt - Editor");
    fill('A', {{os::cf::Dib, std::string(40, '\x01')}});
    fill('B', {text("\r\nsecond line")});
    fill('C', {text(std::string(200, 'x'))});
    fill('D', {text(std::string(250, 'y'))});
    fill('S',
         {text("hunter2"),
          {desktop.clipboard.registerFormat("ExcludeClipboardContentFromMonitorProcessing"), ""}});
    openViewer([](os::sim::HeadlessView& view) {
        EXPECT_EQ(view.caption(), "ws");
        const auto columns = view.listColumns(viewer::List);
        ASSERT_EQ(columns.size(), 5U);
        EXPECT_EQ(columns[0].text, "Code");
        EXPECT_EQ(columns[0].width, 0);
        EXPECT_EQ(columns[2].text, "Caption");
        EXPECT_EQ(columns[3].text, "Data type");
        EXPECT_EQ(columns[4].text, "Location");
        EXPECT_EQ(view.listExtendedStyle(viewer::List), 33U);
        EXPECT_EQ(view.listRows(viewer::List),
                  (Rows{{"65", "A", "N/A", "Bitmap", ""},
                        {"66", "B", "...", "Text", ""},
                        {"67", "C", std::string(200, 'x'), "Text", ""},
                        {"68", "D", std::string(200, 'y') + "...", "Text", ""},
                        {"75", "K", "hello...", "Text", "notes.txt - Editor"},
                        {"83", "S", "[Secret, not saved]", "Text", ""}}));
    });
    EXPECT_EQ(desktop.views.modalRuns().back().templateId, viewer::Dialog);
}

TEST_F(ViewClipboardsTest, AnEmptyWorkspaceShowsAnEmptyList) {
    openViewer([](os::sim::HeadlessView& view) {
        EXPECT_EQ(view.caption(), "ws");
        EXPECT_TRUE(view.listRows(viewer::List).empty());
        EXPECT_TRUE(view.resize(800, 400));
        const os::Rect rect = view.getControlRect(viewer::List);
        EXPECT_EQ(rect.right - rect.left, 800);
        EXPECT_EQ(rect.bottom - rect.top, 400);
    });
}

TEST_F(ViewClipboardsTest, DeleteAsksAndRemovesTheSelectedSlotsAndFiles) {
    fill('C', {text("see")});
    fill('K', {text("kay")});
    fill('M', {text("em")});
    openViewer([this](os::sim::HeadlessView& view) {
        // Nothing selected: no question.
        EXPECT_TRUE(view.pressKey(viewer::List, DeleteKey));
        EXPECT_TRUE(desktop.dialogs.shown().empty());

        // No keeps everything.
        EXPECT_TRUE(view.selectRows(viewer::List, {0}));
        EXPECT_TRUE(view.pressKey(viewer::List, DeleteKey));
        ASSERT_EQ(desktop.dialogs.shown().size(), 1U);
        const auto question = desktop.dialogs.shown()[0];
        EXPECT_EQ(question.text,
                  "Are you sure you want to delete all selected items permanentely?");
        EXPECT_EQ(question.caption, "Warning");
        EXPECT_EQ(question.style, os::mb::IconQuestion | os::mb::YesNo);
        EXPECT_EQ(question.owner, view.getHandle());
        EXPECT_EQ(view.listRows(viewer::List).size(), 3U);
        EXPECT_TRUE(workspace.getClipboards()['C']);
        EXPECT_TRUE(std::filesystem::exists(path("ws/px_67.pxf")));

        // After sorting by key, descending: the rows say which slots they are.
        view.clickColumn(viewer::List, 1);
        view.clickColumn(viewer::List, 1);
        EXPECT_TRUE(view.selectRows(viewer::List, {0, 2}));
        desktop.dialogs.answerNext(os::id::Yes);
        EXPECT_TRUE(view.pressKey(viewer::List, DeleteKey));
        EXPECT_EQ(view.listRows(viewer::List), (Rows{{"75", "K", "kay", "Text", ""}}));
    });
    EXPECT_FALSE(workspace.getClipboards()['M']);
    EXPECT_FALSE(workspace.getClipboards()['C']);
    EXPECT_TRUE(workspace.getClipboards()['K']);
    EXPECT_FALSE(std::filesystem::exists(path("ws/px_77.pxf")));
    EXPECT_FALSE(std::filesystem::exists(path("ws/px_67.pxf")));
    EXPECT_TRUE(std::filesystem::exists(path("ws/px_75.pxf")));
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_TRUE(assertions.reports.empty());
}

// The user copies into a slot while the viewer is open: the hooks' messages drive the
// page's key handler, and the refresh it posts reaches the viewer.
TEST_F(ViewClipboardsTest, ACopyWhileTheViewerIsOpenShowsTheNewSlot) {
    os::sim::SimEditor editor{desktop, "notes.txt - Editor"};
    editor.setText("Hello world");
    editor.select(6, 11);
    desktop.input.watchKeys([this](const os::sim::InputEvent& event) {
        desktop.windows.postMessage(
            page.getHandle(), hook::KeyEventMessage, static_cast<std::uintptr_t>(event.virtualKey),
            static_cast<std::intptr_t>(static_cast<std::int32_t>(
                hook::keydata::make(event.scanCode, event.extended, event.released))));
    });
    int refreshes = 0;
    // The user-interface thread's loop: hook messages go to the key handler first, as the
    // property sheet hands them over; everything else to its window.
    const auto pump = [&] {
        while (const auto message = desktop.windows.takeMessage()) {
            if (message->message == hook::KeyEventMessage) {
                page.onKeyEvent(static_cast<int>(message->wParam),
                                hook::keydata::isPress(message->lParam));
                continue;
            }
            if (message->message == products::pastrix::config::clipboard::ViewerRefreshMessage) {
                ++refreshes;
                EXPECT_EQ(desktop.windows.dispatchMessage(*message), 1);
                continue;
            }
            desktop.windows.dispatchMessage(*message);
        }
    };
    const auto copyInto = [&](int key) {
        for (const auto& [virtualKey, down] :
             std::vector<std::pair<int, bool>>{{os::vk::Control, true},
                                               {key, true},
                                               {key, false},
                                               {key, true},
                                               {key, false},
                                               {os::vk::Control, false}}) {
            desktop.input.userKey(virtualKey, down);
            pump();
        }
    };

    openViewer([&](os::sim::HeadlessView& view) {
        EXPECT_TRUE(view.listRows(viewer::List).empty());
        copyInto(0x74);  // F5 types nothing into the editor
        EXPECT_EQ(refreshes, 1);
        EXPECT_EQ(view.listRows(viewer::List),
                  (Rows{{"116", "F5", "world", "Text", "notes.txt - Editor"}}));
    });
    // Closed, the viewer is told nothing more.
    copyInto(0x75);
    EXPECT_EQ(refreshes, 1);
    EXPECT_TRUE(workspace.getClipboards()[0x75]);
    EXPECT_TRUE(reporter.messages.empty());
}

}  // namespace
