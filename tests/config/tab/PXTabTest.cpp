// The slot settings page as the user works with it in the headless view.
#include "config/clipboard/PXToolTip.h"
#include "config/configfile/PXSettings.h"
#include "config/tab/DialogTemplates.h"
#include "config/tab/PXTab.h"
#include "config/workspace/Workspace.h"
#include "os/sim/HeadlessViews.h"
#include "support/RecordingReporter.h"
#include "support/SettingsFile.h"
#include "support/SimDesktopTest.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using products::pastrix::config::clipboard::PXToolTip;
using products::pastrix::config::configfile::PXSettings;
using products::pastrix::config::tab::PXTab;
using products::pastrix::config::workspace::Workspace;
using Rows = std::vector<std::vector<std::string>>;
namespace ids = products::pastrix::config::tab::templates::pxtab;

constexpr int DeleteKey = 46;
constexpr int AltKey = 0x12;
const char* const selectWorkspaceFirst =
    "You must select a workspace first. Do this under the System tab.";

class PXTabTest : public testing_support::SimDesktopAssertionTest {
protected:
    PXTabTest() {
        std::filesystem::create_directory(path("ws"));
        workspace.open("ws");
    }

    // Builds the page from the settings as they are now and shows it.
    os::sim::HeadlessView& show() {
        page = std::make_unique<PXTab>(reporter, workspace, settings);
        page->create(0);
        os::sim::HeadlessView* view = desktop.views.find(ids::Dialog);
        EXPECT_NE(view, nullptr);
        view->activate();
        return *view;
    }

    // What the user does to filter a key: release it in the key box, then press "Add".
    void addKey(os::sim::HeadlessView& view, int virtualKey) {
        EXPECT_TRUE(view.pressKey(ids::KeyBox, virtualKey));
        EXPECT_TRUE(view.click(ids::Add));
    }

    testing_support::RecordingReporter reporter;
    testing_support::SettingsFile file;
    PXSettings settings{*file.config, reporter};
    Workspace workspace{reporter, 0, directory.string()};
    std::unique_ptr<PXTab> page;
};

TEST_F(PXTabTest, ShowsTheStoredSettings) {
    file.config->setString("PX_FilterKeys", "65|16|67");
    os::sim::HeadlessView& view = show();
    EXPECT_TRUE(view.isChecked(ids::Enabled));
    EXPECT_TRUE(view.isChecked(ids::UseToolTip));
    const auto columns = view.listColumns(ids::FilterList);
    ASSERT_EQ(columns.size(), 2U);
    EXPECT_EQ(columns[0].text, "Key");
    EXPECT_EQ(columns[0].width, 96);  // 65 % of 149 pixels
    EXPECT_EQ(columns[1].text, "Code");
    EXPECT_EQ(columns[1].width, 29);
    EXPECT_EQ(view.listExtendedStyle(ids::FilterList), 0x21U);
    EXPECT_EQ(view.listRows(ids::FilterList), (Rows{{"A", "65"}, {"Shift", "16"}, {"C", "67"}}));
    // Filling the list stores it once per key.
    EXPECT_EQ(file.writer.writes, 3 + 1);  // and once more for the activation's Enabled
    EXPECT_EQ(view.comboItems(ids::Limits),
              (std::vector<std::string>{"1 KB", "5 KB", "10 KB", "50 KB", "100 KB", "500 KB",
                                        "1 MB", "5 MB", "10 MB", "50 MB", "100 MB", "Unlimited"}));
    EXPECT_TRUE(view.toolTipsEnabled());
    EXPECT_EQ(view.hover(ids::KeyBox),
              "Enter the key you would like to filter away and press the \"Add\" button below.");
    EXPECT_EQ(view.hover(ids::UseToolTip),
              "Select this if you want a helper tooltip to appear when you copy or paste. ");
    EXPECT_EQ(page->getKeyHandler().getFilterKeys(), (std::vector<int>{65, 16, 67}));
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_TRUE(reporter.informations.empty());
}

TEST_F(PXTabTest, SelectsTheStoredSizeLimitOrFiveMegabytes) {
    const std::vector<std::pair<int, std::string>> cases = {
        {5000000, "5 MB"}, {5242880, "5 MB"},     {0, "Unlimited"},
        {1000, "1 KB"},    {100000000, "100 MB"}, {-1, "5 MB"},
    };
    for (const auto& [stored, label] : cases) {
        file.config->setInt("PX_SerializeLimit", stored);
        EXPECT_EQ(show().getText(ids::Limits), label) << stored;
    }
}

TEST_F(PXTabTest, ChoosingASizeLimitSetsTheWorkspaceAndStoresIt) {
    os::sim::HeadlessView& view = show();
    ASSERT_TRUE(view.selectComboItem(ids::Limits, 6));
    EXPECT_EQ(workspace.getSizeLimit(), 1000000U);
    EXPECT_EQ(file.stored("PX_SerializeLimit"), "1000000");
    ASSERT_TRUE(view.selectComboItem(ids::Limits, 11));
    EXPECT_EQ(workspace.getSizeLimit(), 0U);
    EXPECT_EQ(file.stored("PX_SerializeLimit"), "0");

    // A selection change with nothing selected is reported and changes nothing.
    view.setComboSelection(ids::Limits, -1);
    os::DialogEvent event;
    event.notification = os::Notification::SelectionChanged;
    event.controlId = ids::Limits;
    event.value = -1;
    view.deliver(event);
    EXPECT_TRUE(assertions.reported("item < _limits.size()"));
    EXPECT_EQ(file.stored("PX_SerializeLimit"), "0");
}

TEST_F(PXTabTest, AddingAKeyFiltersItAndStoresTheList) {
    os::sim::HeadlessView& view = show();
    ASSERT_TRUE(page->getKeyHandler().isSlotKey(AltKey));
    addKey(view, AltKey);
    EXPECT_EQ(view.getText(ids::KeyBox), "Alt");
    EXPECT_EQ(view.listRows(ids::FilterList), (Rows{{"A", "65"}, {"C", "67"}, {"Alt", "18"}}));
    EXPECT_FALSE(page->getKeyHandler().isSlotKey(AltKey));
    EXPECT_EQ(file.stored("PX_FilterKeys"), "65|67|18");

    // A key that is listed already is not listed twice, but the list is stored again.
    const int writes = file.writer.writes;
    addKey(view, 'A');
    EXPECT_EQ(view.listRows(ids::FilterList).size(), 3U);
    EXPECT_EQ(file.writer.writes, writes + 1);

    // "Add" before any key was captured stores the unchanged list.
    os::sim::HeadlessView& again = show();
    const int shownWrites = file.writer.writes;
    EXPECT_TRUE(again.click(ids::Add));
    EXPECT_EQ(again.listRows(ids::FilterList).size(), 3U);
    EXPECT_EQ(file.writer.writes, shownWrites + 1);
    EXPECT_EQ(file.stored("PX_FilterKeys"), "65|67|18");
}

TEST_F(PXTabTest, DeletingKeysTakesEffectAtOnceAndIsStored) {
    os::sim::HeadlessView& view = show();
    addKey(view, AltKey);
    // Keys other than Delete and Delete without a selection do nothing.
    ASSERT_TRUE(view.pressKey(ids::FilterList, DeleteKey));
    ASSERT_TRUE(view.selectRows(ids::FilterList, {0, 2}));
    ASSERT_TRUE(view.pressKey(ids::FilterList, 'X'));
    EXPECT_EQ(view.listRows(ids::FilterList).size(), 3U);

    ASSERT_TRUE(view.pressKey(ids::FilterList, DeleteKey));
    EXPECT_EQ(view.listRows(ids::FilterList), (Rows{{"C", "67"}}));
    EXPECT_TRUE(page->getKeyHandler().isSlotKey('A'));
    EXPECT_TRUE(page->getKeyHandler().isSlotKey(AltKey));
    EXPECT_FALSE(page->getKeyHandler().isSlotKey('C'));
    EXPECT_EQ(file.stored("PX_FilterKeys"), "67");
    EXPECT_TRUE(desktop.dialogs.shown().empty());
}

TEST_F(PXTabTest, EnabledSwitchesTheGesturesAndTheControls) {
    os::sim::HeadlessView& view = show();
    ASSERT_TRUE(view.click(ids::Enabled));
    EXPECT_FALSE(page->getKeyHandler().isEnabled());
    EXPECT_EQ(file.stored("PX_Enabled"), "false");
    for (const int control : {ids::UseToolTip, ids::Clipboards, ids::FilterList, ids::KeyBox,
                              ids::Add, ids::LimitLabel, ids::FilterLabel, ids::Limits}) {
        EXPECT_FALSE(view.isEnabled(control)) << control;
    }
    EXPECT_FALSE(view.click(ids::Add));

    ASSERT_TRUE(view.click(ids::Enabled));
    EXPECT_TRUE(page->getKeyHandler().isEnabled());
    EXPECT_EQ(file.stored("PX_Enabled"), "true");
    EXPECT_TRUE(view.isEnabled(ids::Limits));
    EXPECT_TRUE(reporter.informations.empty());
}

TEST_F(PXTabTest, WithoutAWorkspaceEnabledCannotBeChecked) {
    workspace.clear();
    // The page shows without a workspace: Enabled is cleared with the message.
    os::sim::HeadlessView& view = show();
    EXPECT_FALSE(view.isChecked(ids::Enabled));
    EXPECT_FALSE(view.isEnabled(ids::FilterList));
    EXPECT_EQ(reporter.informations, (std::vector<std::string>{selectWorkspaceFirst}));
    EXPECT_EQ(file.stored("PX_Enabled"), "false");

    ASSERT_TRUE(view.click(ids::Enabled));
    EXPECT_FALSE(view.isChecked(ids::Enabled));
    EXPECT_FALSE(page->getKeyHandler().isEnabled());
    EXPECT_EQ(reporter.informations.size(), 2U);
    EXPECT_FALSE(view.isEnabled(ids::UseToolTip));

    // Showing the page again asks nothing more while Enabled is clear.
    view.activate();
    EXPECT_EQ(reporter.informations.size(), 2U);
}

TEST_F(PXTabTest, TheTooltipCheckBoxSwitchesTheTooltipAtOnce) {
    PXToolTip tooltip(workspace, "PXTabTestToolTip", 0, true);
    os::sim::HeadlessView& view = show();
    page->attachToolTip(&tooltip);
    ASSERT_TRUE(view.click(ids::UseToolTip));
    EXPECT_FALSE(tooltip.isUsingToolTip());
    EXPECT_EQ(file.stored("PX_UseToolTip"), "false");
    ASSERT_TRUE(view.click(ids::UseToolTip));
    EXPECT_TRUE(tooltip.isUsingToolTip());
    EXPECT_EQ(file.stored("PX_UseToolTip"), "true");
    page->attachToolTip(nullptr);
}

TEST_F(PXTabTest, LaterActivationsShowTheFieldsAgain) {
    os::sim::HeadlessView& view = show();
    view.setCheck(ids::UseToolTip, false);
    view.activate();
    // The Enabled procedure read the box first, so the field follows what is shown.
    EXPECT_FALSE(view.isChecked(ids::UseToolTip));
    view.setCheck(ids::Enabled, false);
    view.setCheck(ids::UseToolTip, true);
    view.activate();
    EXPECT_FALSE(view.isChecked(ids::Enabled));
    EXPECT_TRUE(view.isChecked(ids::UseToolTip));
}

TEST_F(PXTabTest, ClipboardsOpensTheSlotViewer) {
    os::sim::HeadlessView& view = show();
    bool shown = false;
    desktop.views.whenModal([&](os::sim::HeadlessView& viewer) {
        shown = true;
        EXPECT_EQ(viewer.caption(), "ws");
    });
    ASSERT_TRUE(view.click(ids::Clipboards));
    EXPECT_TRUE(shown);
    ASSERT_EQ(desktop.views.modalRuns().size(), 1U);
    EXPECT_EQ(desktop.views.modalRuns()[0].templateId, 129);
}

}  // namespace
