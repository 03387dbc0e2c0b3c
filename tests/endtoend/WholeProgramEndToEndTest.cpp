// A working session with the whole program: started from its program directory, used as a
// user uses it (slot gestures and Cool Keys in an editor, the slot viewer, a filter key, a
// new workspace, the status area, "Shutdown"), and the files it leaves checked afterwards
// with pastrixctl.
#include "config/tab/DialogTemplates.h"
#include "config/tab/PropertySheetBase.h"
#include "os/Clipboard.h"
#include "os/Dialogs.h"
#include "os/Keyboard.h"
#include "os/Windows.h"
#include "os/sim/SimEditor.h"
#include "support/ProgramRun.h"

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using products::pastrix::config::tab::PropertySheetBase;
using testing::HasSubstr;
namespace templates = products::pastrix::config::tab::templates;

constexpr int F7 = 0x76;

class WholeProgramEndToEndTest : public testing_support::ProgramRunTest {
protected:
    bool isShown(const os::sim::HeadlessView& view) const {
        return (desktop.windows.getWindowStyle(view.getHandle()) & os::ws::Visible) != 0;
    }

    os::sim::HeadlessView& page(int templateId) {
        os::sim::HeadlessView* view = desktop.views.find(templateId);
        EXPECT_NE(view, nullptr) << templateId;
        return *view;
    }

    // The rows pastrixctl lists, without their header.
    std::vector<std::string> listed(const std::string& group, const std::string& workspace) {
        std::istringstream text(
            pastrixctl({group, "list", (programDirectory / workspace).string()}));
        std::vector<std::string> rows;
        std::string row;
        std::getline(text, row);
        while (std::getline(text, row)) {
            rows.push_back(row);
        }
        return rows;
    }

    os::sim::SimEditor editor{desktop, "notes.txt - Editor"};
};

TEST_F(WholeProgramEndToEndTest, ASessionFromStartToShutdown) {
    const std::vector<os::posix::InProcessClipboard::Format> usersClipboard = {
        {os::cf::Text, std::string("mine\0", 5)}};
    desktop.clipboard.setContent(usersClipboard);

    whileRunning([&](os::sim::HeadlessView& sheet) {
        EXPECT_EQ(sheet.caption(), "Default - Pastrix");
        editor.activate();
        editor.setText("Hello world");
        editor.select(6, 11);

        // Copy into slot K, then paste it at the start.
        gesture(os::vk::Control, 'K', 2);
        EXPECT_TRUE(std::filesystem::exists(programDirectory / "Default" / "px_75.pxf"));
        editor.select(0, 0);
        gesture(os::vk::Control, 'K', 1);
        EXPECT_EQ(editor.text(), "worldHello world");
        EXPECT_EQ(desktop.clipboard.content(), usersClipboard);

        // A Cool Key made on its page, then typed.
        desktop.views.whenModal([](os::sim::HeadlessView& dialog) {
            EXPECT_EQ(dialog.templateId(), templates::abbreviation::Dialog);
            EXPECT_TRUE(dialog.type(templates::abbreviation::Abbreviation, "btw"));
            EXPECT_TRUE(dialog.type(templates::abbreviation::Text, "by the way"));
            EXPECT_TRUE(dialog.click(os::id::Ok));
        });
        EXPECT_TRUE(sheet.selectTab(2));
        EXPECT_TRUE(page(templates::cctab::Dialog).click(templates::cctab::Add));
        editor.activate();
        editor.select(editor.text().size(), editor.text().size());
        type(" btw");
        EXPECT_EQ(editor.text(), "worldHello world by the way");

        // The slot viewer lists slot K.
        std::vector<std::vector<std::string>> viewerRows;
        desktop.views.whenModal([&](os::sim::HeadlessView& viewer) {
            viewerRows = viewer.listRows(templates::viewclipboards::List);
        });
        EXPECT_TRUE(sheet.selectTab(1));
        os::sim::HeadlessView& slots = page(templates::pxtab::Dialog);
        EXPECT_TRUE(slots.click(templates::pxtab::Clipboards));
        ASSERT_EQ(viewerRows.size(), 1U);
        EXPECT_THAT(viewerRows[0], testing::Contains("K"));

        // F7 becomes a filter key: its gestures do nothing from now on.
        EXPECT_TRUE(slots.pressKey(templates::pxtab::KeyBox, F7));
        EXPECT_TRUE(slots.click(templates::pxtab::Add));
        editor.activate();
        editor.select(0, 5);
        gesture(os::vk::Control, F7, 2);
        EXPECT_FALSE(std::filesystem::exists(programDirectory / "Default" / "px_118.pxf"));

        // A new workspace becomes the active one, and slots go there.
        desktop.views.whenModal([](os::sim::HeadlessView& dialog) {
            EXPECT_EQ(dialog.templateId(), templates::newworkspace::Dialog);
            EXPECT_TRUE(dialog.type(templates::newworkspace::Name, "Work"));
            EXPECT_TRUE(dialog.click(os::id::Ok));
        });
        EXPECT_TRUE(sheet.selectTab(0));
        EXPECT_TRUE(page(templates::system::Dialog).click(templates::system::CreateWorkspace));
        EXPECT_EQ(sheet.caption(), "Work - Pastrix");
        editor.activate();
        editor.select(0, 5);
        gesture(os::vk::Control, 'J', 2);
        EXPECT_TRUE(std::filesystem::exists(programDirectory / "Work" / "px_74.pxf"));
        // The Cool Keys of "Default" stay there.
        editor.select(editor.text().size(), editor.text().size());
        type(" btw");
        EXPECT_EQ(editor.text(), "worldHello world by the way btw");

        // Into the status area and back; the program keeps working meanwhile.
        EXPECT_TRUE(sheet.click(templates::sheet::Ok));
        EXPECT_FALSE(isShown(sheet));
        EXPECT_EQ(desktop.statusArea.icons().size(), 1U);
        editor.activate();
        editor.select(0, 0);
        gesture(os::vk::Control, 'J', 1);
        EXPECT_EQ(editor.text(), "worldworldHello world by the way btw");
        sheet.send(PropertySheetBase::StatusAreaCallbackMessage, PropertySheetBase::IconId,
                   PropertySheetBase::LeftButtonUp);
        EXPECT_TRUE(isShown(sheet));
        EXPECT_TRUE(desktop.statusArea.icons().empty());
    });
    run();
    EXPECT_TRUE(errorBoxes().empty());

    // What the session left on disk.
    const auto defaultSlots = listed("workspace", "Default");
    ASSERT_EQ(defaultSlots.size(), 1U);
    EXPECT_THAT(defaultSlots[0], testing::StartsWith("75\tK\tworld\tText"));
    EXPECT_THAT(defaultSlots[0], HasSubstr("notes.txt - Editor"));
    const auto coolKeys = listed("coolkeys", "Default");
    ASSERT_EQ(coolKeys.size(), 1U);
    EXPECT_THAT(coolKeys[0], testing::StartsWith("btw\tby the way\t"));
    const auto workSlots = listed("workspace", "Work");
    ASSERT_EQ(workSlots.size(), 1U);
    EXPECT_THAT(workSlots[0], testing::StartsWith("74\tJ\tworld\t"));
    EXPECT_EQ(setting("SYSTEM_ActiveWorkspace"), "Work");
    EXPECT_EQ(setting("PX_FilterKeys"), "65|67|86|88|89|90|118");

    // The next start opens "Work" again.
    whileRunning(
        [](os::sim::HeadlessView& sheet) { EXPECT_EQ(sheet.caption(), "Work - Pastrix"); });
    run();
    EXPECT_TRUE(errorBoxes().empty());
}

TEST_F(WholeProgramEndToEndTest, SwitchedOffTheProgramLeavesTheKeysAloneAndStaysOffAtTheNextStart) {
    whileRunning([&](os::sim::HeadlessView&) {
        EXPECT_TRUE(page(templates::system::Dialog).click(templates::system::Enabled));
        editor.activate();
        editor.setText("Hello world");
        editor.select(6, 11);
        gesture(os::vk::Control, 'K', 2);
    });
    run();
    EXPECT_FALSE(std::filesystem::exists(programDirectory / "Default" / "px_75.pxf"));
    EXPECT_EQ(setting("SYSTEM_Enabled"), "false");

    whileRunning([&](os::sim::HeadlessView&) {
        EXPECT_EQ(desktop.hooks.installedHooks(2), 0U);
        EXPECT_TRUE(page(templates::system::Dialog).click(templates::system::Enabled));
        editor.activate();
        editor.select(6, 11);
        gesture(os::vk::Control, 'K', 2);
    });
    run();
    EXPECT_TRUE(std::filesystem::exists(programDirectory / "Default" / "px_75.pxf"));
    EXPECT_TRUE(errorBoxes().empty());
}

}  // namespace
