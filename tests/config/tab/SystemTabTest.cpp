// The System page and the new-workspace dialog as the user works with them in the headless
// view.
#include "config/clipboard/PXToolTipFactory.h"
#include "config/configfile/CCSettings.h"
#include "config/configfile/PXSettings.h"
#include "config/configfile/SystemSettings.h"
#include "config/tab/CCTab.h"
#include "config/tab/DialogTemplates.h"
#include "config/tab/NewWorkspaceDialog.h"
#include "config/tab/PXTab.h"
#include "config/tab/PropertySheetBase.h"
#include "config/tab/SystemTab.h"
#include "config/workspace/Workspace.h"
#include "io/file/PlainFileReader.h"
#include "io/file/PlainFileWriter.h"
#include "os/Dialogs.h"
#include "os/ErrorCodes.h"
#include "os/sim/HeadlessViews.h"
#include "platform/errorresources/SystemErrors.h"
#include "support/PlatformText.h"
#include "support/RecordingReporter.h"
#include "support/SettingsFile.h"
#include "support/SimDesktopTest.h"
#include "util/config/ConfigImpl.h"
#include "windows/hook/KeyboardHook.h"
#include "windows/hook/MouseHook.h"
#include "windows/registry/RegistryTypes.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using products::pastrix::config::configfile::SystemSettings;
using products::pastrix::config::tab::NewWorkspaceDialog;
using products::pastrix::config::tab::PropertySheetBase;
using products::pastrix::config::tab::SystemTab;
using products::pastrix::config::workspace::Workspace;
using Strings = std::vector<std::string>;
namespace templates = products::pastrix::config::tab::templates;
namespace ids = templates::system;
namespace dialog = templates::newworkspace;

const std::string Library = testing_support::libraryFile("clipboard");
const std::string RunKey = SystemTab::RunKey;

class SystemTabTest : public testing_support::SimDesktopAssertionTest {
protected:
    SystemTabTest() { fs::create_directory(root); }

    // The configuration with the page's keys, read from "config.cfg".
    void configure(const std::string& active, bool enabled, bool startAutomatically = false) {
        io::file::PlainFileWriter().write(
            "config.cfg",
            testing_support::SettingsFile::standardText() +
                "SYSTEM_ActiveWorkspace=" + (active.empty() ? "EMPTY_KEY_VALUE" : active) +
                "\r\nSYSTEM_StartAutomatically=" + (startAutomatically ? "true" : "false") +
                "\r\nSYSTEM_Enabled=" + (enabled ? "true" : "false") + "\r\n",
            {});
        config = std::make_unique<util::config::ConfigImpl>(
            "config.cfg", util::config::ConfigImpl::FromFile, reader, writer);
        settings = std::make_unique<SystemSettings>(*config, reporter);
    }

    std::string stored(const std::string& key) {
        io::file::PlainFileWriter unused;
        return util::config::ConfigImpl("config.cfg", util::config::ConfigImpl::FromFile, reader,
                                        unused)
            .getString(key);
    }

    os::sim::HeadlessView& show() {
        page = std::make_unique<SystemTab>(reporter, workspace, *settings, keyboard, mouse);
        page->setSheet(&sheet);
        page->create(0);
        os::sim::HeadlessView* view = desktop.views.find(ids::Dialog);
        EXPECT_NE(view, nullptr);
        return *view;
    }

    static std::string selected(const os::sim::HeadlessView& view) {
        const int index = view.getComboSelection(ids::Workspaces);
        return index < 0 ? "<none>" : view.getComboItemText(ids::Workspaces, index);
    }

    std::string runValue() const {
        for (const auto& value : desktop.registry.values(SystemTab::RunRoot, RunKey)) {
            if (value.name == "Pastrix") {
                return value.data;
            }
        }
        return "<none>";
    }

    std::string programCommand() const {
        std::string program;
        EXPECT_TRUE(os::fileSystem().getModuleFileName(program));
        return "\"" + program + "\" -minimized" + '\0';
    }

    products::pastrix::config::configfile::CCSettings& coolKeysOff() {
        coolKeySettings.setEnabled(false);
        return coolKeySettings;
    }

    const fs::path root = directory / "program";
    testing_support::RecordingReporter reporter;
    io::file::PlainFileReader reader;
    io::file::PlainFileWriter writer;
    std::unique_ptr<util::config::ConfigImpl> config;
    std::unique_ptr<SystemSettings> settings;
    Workspace workspace{reporter, 0, root.string()};
    // Held by pointer: a fixture's destructor may not pass on the hooks' failures.
    std::unique_ptr<windows::hook::KeyboardHook> keyboardHook =
        std::make_unique<windows::hook::KeyboardHook>(Library);
    std::unique_ptr<windows::hook::MouseHook> mouseHook =
        std::make_unique<windows::hook::MouseHook>(Library);
    windows::hook::KeyboardHook& keyboard = *keyboardHook;
    windows::hook::MouseHook& mouse = *mouseHook;

    // A sheet that is never shown: the page sets its title.
    testing_support::SettingsFile sheetFile;
    products::pastrix::config::configfile::PXSettings slotSettings{*sheetFile.config, reporter};
    products::pastrix::config::tab::PXTab slotPage{reporter, workspace, slotSettings};
    products::pastrix::config::configfile::CCSettings coolKeySettings{*sheetFile.config, reporter};
    products::pastrix::config::tab::CCTab coolKeysPage{reporter, workspace, coolKeysOff()};
    products::pastrix::config::clipboard::PXToolTipFactory factory{workspace, true};
    PropertySheetBase sheet{reporter,  *sheetFile.config, slotPage, coolKeysPage,
                            "Pastrix", factory,           false};
    std::unique_ptr<SystemTab> page;
};

TEST_F(SystemTabTest, OpensTheStoredWorkspaceWhateverItsLetterCase) {
    for (const char* name : {"Work", "alpha", "zeta"}) {
        fs::create_directory(root / name);
    }
    writeFile("program/Work/notes.txt", "not a slot");
    configure("wORK", true);
    os::sim::HeadlessView& view = show();

    EXPECT_EQ(view.caption(), "System");
    EXPECT_EQ(view.comboItems(ids::Workspaces).size(), 3U);
    EXPECT_EQ(selected(view), "Work");
    EXPECT_TRUE(workspace.isLoaded());
    EXPECT_EQ(workspace.getName(), "Work");
    EXPECT_EQ(stored("SYSTEM_ActiveWorkspace"), "Work");
    EXPECT_EQ(sheet.getTitle(), "Work - Pastrix");
    EXPECT_TRUE(view.isChecked(ids::Enabled));
    EXPECT_FALSE(view.isChecked(ids::StartAutomatically));
    EXPECT_TRUE(keyboard.isRunning());
    EXPECT_TRUE(mouse.isRunning());
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_TRUE(assertions.reports.empty());

    EXPECT_TRUE(view.toolTipsEnabled());
    const std::vector<std::pair<int, std::string>> tips = {
        {ids::StartAutomatically,
         "Select to make this application start automatically after reboot."},
        {ids::Workspaces, "Select a workspace."},
        {ids::CreateWorkspace, "Press here to create a new workspace."},
        {ids::DeleteWorkspace, "Press here to delete the current active workspace."},
        {ids::Enabled, "Select this to active both Pastrix and Cool Keys."},
    };
    for (const auto& [id, tip] : tips) {
        EXPECT_EQ(view.hover(id), tip);
    }

    // Choosing another workspace opens it and stores it at once.
    const Strings items = view.comboItems(ids::Workspaces);
    const auto zeta = std::find(items.begin(), items.end(), "zeta") - items.begin();
    ASSERT_TRUE(view.selectComboItem(ids::Workspaces, static_cast<int>(zeta)));
    EXPECT_EQ(workspace.getName(), "zeta");
    EXPECT_EQ(stored("SYSTEM_ActiveWorkspace"), "zeta");
    EXPECT_EQ(sheet.getTitle(), "zeta - Pastrix");

    // A workspace that went away meanwhile fails to open: nothing stays selected.
    fs::remove(root / "alpha");
    const auto alpha = std::find(items.begin(), items.end(), "alpha") - items.begin();
    ASSERT_TRUE(view.selectComboItem(ids::Workspaces, static_cast<int>(alpha)));
    EXPECT_FALSE(workspace.isLoaded());
    EXPECT_EQ(selected(view), "<none>");
    EXPECT_EQ(sheet.getTitle(), "No active workspace - Pastrix");
    ASSERT_EQ(reporter.messages.size(), 1U);
    EXPECT_EQ(reporter.messages[0].rfind("Could not load the workspace alpha\n", 0), 0U);
}

TEST_F(SystemTabTest, AWorkspaceThatIsGoneIsReportedOnceAndForgotten) {
    fs::create_directory(root / "Other");
    configure("Vanished", false);
    os::sim::HeadlessView& view = show();

    EXPECT_EQ(reporter.messages,
              Strings{"Could not find the last active workspace. Maybe it has been deleted.\n"
                      "Workspace name: Vanished\nWorkspace directory: " +
                      workspace.getBaseDirectory() + "Vanished"});
    EXPECT_EQ(stored("SYSTEM_ActiveWorkspace"), "EMPTY_KEY_VALUE");
    EXPECT_EQ(view.comboItems(ids::Workspaces), Strings{"Other"});
    EXPECT_EQ(selected(view), "<none>");
    EXPECT_FALSE(workspace.isLoaded());
    EXPECT_EQ(sheet.getTitle(), "Pastrix");

    // Starting switched off leaves the hooks alone and reports nothing.
    EXPECT_FALSE(keyboard.isRunning());
    EXPECT_FALSE(mouse.isRunning());
    EXPECT_TRUE(assertions.reports.empty());

    // The next start has nothing to complain about.
    reporter.messages.clear();
    page.reset();
    configure("", false);
    show();
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(SystemTabTest, EnabledStartsAndStopsBothHooksAndIsStored) {
    configure("", false);
    os::sim::HeadlessView& view = show();
    ASSERT_TRUE(view.click(ids::Enabled));
    EXPECT_TRUE(keyboard.isRunning());
    EXPECT_TRUE(mouse.isRunning());
    EXPECT_EQ(stored("SYSTEM_Enabled"), "true");

    ASSERT_TRUE(view.click(ids::Enabled));
    EXPECT_FALSE(keyboard.isRunning());
    EXPECT_FALSE(mouse.isRunning());
    EXPECT_EQ(stored("SYSTEM_Enabled"), "false");
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_TRUE(assertions.reports.empty());
}

TEST_F(SystemTabTest, StartAutomaticallyKeepsTheRunEntry) {
    configure("", false);
    os::sim::HeadlessView& view = show();

    // No run key yet: checking makes it with the program's command.
    ASSERT_TRUE(view.click(ids::StartAutomatically));
    EXPECT_EQ(runValue(), programCommand());
    EXPECT_EQ(stored("SYSTEM_StartAutomatically"), "true");

    ASSERT_TRUE(view.click(ids::StartAutomatically));
    EXPECT_EQ(runValue(), "<none>");
    EXPECT_EQ(stored("SYSTEM_StartAutomatically"), "false");

    // A stale command is replaced; a value already gone is no failure.
    desktop.registry.putValue(SystemTab::RunRoot, RunKey, "Pastrix", windows::registry::REG_SZ,
                              std::string("\"/old/pastrix\"\0", 15));
    ASSERT_TRUE(view.click(ids::StartAutomatically));
    EXPECT_EQ(runValue(), programCommand());
    desktop.registry.removeKey(SystemTab::RunRoot, RunKey);
    ASSERT_TRUE(view.click(ids::StartAutomatically));
    EXPECT_FALSE(view.isChecked(ids::StartAutomatically));
    EXPECT_EQ(stored("SYSTEM_StartAutomatically"), "false");
    EXPECT_TRUE(reporter.messages.empty());

    // The machine-wide entry of an earlier version: a stale one gives way to the user's own,
    // one that starts this program is kept, and either goes when the box is cleared.
    const auto machineEntry = [&](const std::string& data) {
        desktop.registry.putValue(windows::registry::HKEY_LOCAL_MACHINE, RunKey, "Pastrix",
                                  windows::registry::REG_SZ, data);
    };
    const std::string stale("\"/old/pastrix\"\0", 15);
    const auto machineValues = [&] {
        return desktop.registry.values(windows::registry::HKEY_LOCAL_MACHINE, RunKey).size();
    };
    machineEntry(stale);
    ASSERT_TRUE(view.click(ids::StartAutomatically));
    EXPECT_EQ(runValue(), programCommand());
    EXPECT_EQ(machineValues(), 0U);
    machineEntry(stale);
    ASSERT_TRUE(view.click(ids::StartAutomatically));
    EXPECT_EQ(runValue(), "<none>");
    EXPECT_EQ(machineValues(), 0U);
    machineEntry(programCommand());
    ASSERT_TRUE(view.click(ids::StartAutomatically));
    EXPECT_EQ(runValue(), "<none>");
    EXPECT_EQ(machineValues(), 1U);
    ASSERT_TRUE(view.click(ids::StartAutomatically));
    EXPECT_EQ(machineValues(), 0U);
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(SystemTabTest, ARegistryRefusalLeavesStartAutomaticallyOff) {
    configure("", false);
    os::sim::HeadlessView& view = show();
    desktop.registry.denyAccess(SystemTab::RunRoot, RunKey);

    ASSERT_TRUE(view.click(ids::StartAutomatically));
    ASSERT_EQ(reporter.messages.size(), 1U);
    EXPECT_EQ(reporter.messages[0],
              "Error when trying to add it to the registry.\nError when opening a registry key, "
              "access is denied. Key: HKEY_CURRENT_USER\\" +
                  RunKey + "\n\n" +
                  platform::errorresources::SystemErrors::map(os::error::AccessDenied));
    EXPECT_FALSE(view.isChecked(ids::StartAutomatically));
    EXPECT_FALSE(page->isStartAutomatically());
    EXPECT_EQ(stored("SYSTEM_StartAutomatically"), "false");
    EXPECT_EQ(runValue(), "<none>");
}

TEST_F(SystemTabTest, CreatingAWorkspaceMakesOneDirectoryBelowTheRootAndOpensIt) {
    fs::create_directory(root / "Existing");
    configure("", false);
    os::sim::HeadlessView& view = show();

    const Strings refused = {"",           "   ",        ".",    "..",
                             "../outside", "a/b",        "a\\b", std::string("nul\0l", 5),
                             "tab\there",  "line\nbreak"};
    desktop.views.whenModal([&](os::sim::HeadlessView& modal) {
        EXPECT_EQ(modal.caption(), "Create new workspace");
        for (const std::string& name : refused) {
            EXPECT_TRUE(modal.type(dialog::Name, name));
            EXPECT_TRUE(modal.click(os::id::Ok));
            EXPECT_FALSE(modal.hasEnded()) << name;
        }
        EXPECT_TRUE(modal.type(dialog::Name, "  Project X "));
        EXPECT_TRUE(modal.click(os::id::Ok));
    });
    ASSERT_TRUE(view.click(ids::CreateWorkspace));

    ASSERT_EQ(reporter.messages.size(), refused.size());
    EXPECT_EQ(reporter.messages[0], "You must give the new workspace a name.");
    EXPECT_EQ(reporter.messages[1], "You must give the new workspace a name.");
    for (std::size_t i = 2; i < refused.size(); ++i) {
        EXPECT_NE(reporter.messages[i], reporter.messages[0]) << refused[i];
    }
    Strings made;
    for (const auto& entry : fs::recursive_directory_iterator(directory)) {
        made.push_back(fs::relative(entry.path(), directory).string());
    }
    std::sort(made.begin(), made.end());
    EXPECT_EQ(made,
              (Strings{"config.cfg", "program", testing_support::nativePath("program/Existing"),
                       testing_support::nativePath("program/Project X")}));
    EXPECT_EQ(selected(view), "Project X");
    EXPECT_EQ(workspace.getName(), "Project X");
    EXPECT_EQ(stored("SYSTEM_ActiveWorkspace"), "Project X");
    EXPECT_EQ(sheet.getTitle(), "Project X - Pastrix");

    // An existing directory counts as made and becomes the active workspace.
    reporter.messages.clear();
    desktop.views.whenModal([](os::sim::HeadlessView& modal) {
        modal.type(dialog::Name, "Existing");
        modal.click(os::id::Ok);
    });
    ASSERT_TRUE(view.click(ids::CreateWorkspace));
    EXPECT_EQ(desktop.views.modalRuns().back().result, os::id::Ok);
    EXPECT_EQ(workspace.getName(), "Existing");
    EXPECT_TRUE(reporter.messages.empty());

    // Cancel changes nothing.
    desktop.views.whenModal([](os::sim::HeadlessView& modal) {
        modal.type(dialog::Name, "Never");
        modal.click(os::id::Cancel);
    });
    ASSERT_TRUE(view.click(ids::CreateWorkspace));
    EXPECT_FALSE(fs::exists(root / "Never"));
    EXPECT_EQ(workspace.getName(), "Existing");
}

TEST_F(SystemTabTest, ADirectoryThatCannotBeMadeIsReportedAndTheDialogStays) {
    configure("", false);
    os::sim::HeadlessView& view = show();
    const std::string tooLong(300, 'x');
    bool stayedOpen = false;
    desktop.views.whenModal([&](os::sim::HeadlessView& modal) {
        modal.type(dialog::Name, tooLong);
        modal.click(os::id::Ok);
        stayedOpen = !modal.hasEnded();
    });
    ASSERT_TRUE(view.click(ids::CreateWorkspace));
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(reporter.messages.size(), 1U);
    EXPECT_EQ(reporter.messages[0].rfind("Error when trying to create the new workspace " +
                                             tooLong + ".\nPath " + workspace.getBaseDirectory() +
                                             "\nCould not create the directory: ",
                                         0),
              0U);
    EXPECT_EQ(stored("SYSTEM_ActiveWorkspace"), "EMPTY_KEY_VALUE");
}

TEST_F(SystemTabTest, DeletingAsksFirstAndRemovesOnlyTheWorkspace) {
    writeFile("program/Old/px_65.pxf", "slot");
    writeFile("program/Old/ck_1.ckf", "key");
    fs::create_directory(root / "Keep");
    configure("Old", false);
    os::sim::HeadlessView& view = show();
    reporter.messages.clear();

    desktop.dialogs.answerNext(os::id::No);
    ASSERT_TRUE(view.click(ids::DeleteWorkspace));
    const auto boxes = desktop.dialogs.shown();
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0].text, "Are you sure you want to delete the workspace Old permanentely?");
    EXPECT_EQ(boxes[0].caption, "Warning");
    EXPECT_EQ(boxes[0].style, os::mb::YesNo | os::mb::IconQuestion);
    EXPECT_TRUE(fs::exists(root / "Old" / "px_65.pxf"));
    EXPECT_TRUE(workspace.isLoaded());

    desktop.dialogs.answerNext(os::id::Yes);
    ASSERT_TRUE(view.click(ids::DeleteWorkspace));
    EXPECT_FALSE(fs::exists(root / "Old"));
    EXPECT_TRUE(fs::exists(root / "Keep"));
    EXPECT_FALSE(workspace.isLoaded());
    EXPECT_EQ(reporter.successes, Strings{"The workspace was successfully removed."});
    EXPECT_EQ(stored("SYSTEM_ActiveWorkspace"), "EMPTY_KEY_VALUE");
    EXPECT_EQ(sheet.getTitle(), "No active workspace - Pastrix");
    EXPECT_EQ(view.comboItems(ids::Workspaces), Strings{"Keep"});
    EXPECT_EQ(selected(view), "<none>");
    EXPECT_TRUE(reporter.messages.empty());

    // With no active workspace nothing is asked.
    desktop.dialogs.clear();
    ASSERT_TRUE(view.click(ids::DeleteWorkspace));
    EXPECT_EQ(reporter.messages, Strings{"You must select a workspace first."});
    EXPECT_TRUE(desktop.dialogs.shown().empty());
}

TEST_F(SystemTabTest, DeletingNeverReachesOutsideTheWorkspaceRoot) {
    writeFile("victim/important.txt", "keep me");
    writeFile("program/Busy/sub/file.txt", "inner");
    writeFile("program/Busy/px_66.pxf", "slot");
    configure("Busy", false);
    os::sim::HeadlessView& view = show();
    reporter.messages.clear();

    // A name from an edited settings file that points elsewhere.
    settings->setActiveWorkspace("../victim");
    desktop.dialogs.answerNext(os::id::Yes);
    ASSERT_TRUE(view.click(ids::DeleteWorkspace));
    EXPECT_EQ(readFile("victim/important.txt"), "keep me");
    ASSERT_EQ(reporter.messages.size(), 1U);
    EXPECT_EQ(reporter.messages[0].rfind(
                  "Error when trying to delete the workspace ../victim.\nPath " +
                      workspace.getBaseDirectory() + "\nCould not delete the directory: ",
                  0),
              0U);
    EXPECT_TRUE(reporter.successes.empty());

    // A workspace holding a folder of its own loses its files but is reported.
    settings->setActiveWorkspace("Busy");
    reporter.messages.clear();
    desktop.dialogs.answerNext(os::id::Yes);
    ASSERT_TRUE(view.click(ids::DeleteWorkspace));
    ASSERT_EQ(reporter.messages.size(), 1U);
    EXPECT_EQ(
        reporter.messages[0].rfind("Error when trying to delete the workspace Busy.\nPath ", 0),
        0U);
    EXPECT_TRUE(fs::exists(root / "Busy" / "sub" / "file.txt"));
    EXPECT_TRUE(reporter.successes.empty());
}

TEST_F(SystemTabTest, AWorkspaceThatIsALinkLosesOnlyTheLink) {
    writeFile("victim/px_65.pxf", "slot");
    writeFile("victim/ck_1.ckf", "key");
    std::error_code linkError;
    fs::create_directory_symlink(directory / "victim", root / "Linked", linkError);
    if (linkError) {
        GTEST_SKIP() << "This system cannot make symbolic links: " << linkError.message();
    }
    configure("", false);
    os::sim::HeadlessView& view = show();

    // Neither opened nor created: it leads out of the root.
    settings->setActiveWorkspace("Linked");
    workspace.open("Linked");
    EXPECT_FALSE(workspace.isLoaded());
    reporter.messages.clear();
    desktop.views.whenModal([](os::sim::HeadlessView& modal) {
        modal.type(dialog::Name, "Linked");
        modal.click(os::id::Ok);
        EXPECT_FALSE(modal.hasEnded());
        modal.click(os::id::Cancel);
    });
    ASSERT_TRUE(view.click(ids::CreateWorkspace));
    ASSERT_EQ(reporter.messages.size(), 1U);
    EXPECT_EQ(reporter.messages[0].rfind("Error when trying to create the new workspace Linked.\n"
                                         "Path " +
                                             workspace.getBaseDirectory() +
                                             "\nCould not create the directory: ",
                                         0),
              0U)
        << reporter.messages[0];
    EXPECT_NE(reporter.messages[0].find("which is outside"), std::string::npos);

    reporter.messages.clear();
    desktop.dialogs.answerNext(os::id::Yes);
    ASSERT_TRUE(view.click(ids::DeleteWorkspace));
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(reporter.successes, Strings{"The workspace was successfully removed."});
    EXPECT_FALSE(fs::exists(fs::symlink_status(root / "Linked")));
    EXPECT_EQ(readFile("victim/px_65.pxf"), "slot");
    EXPECT_EQ(readFile("victim/ck_1.ckf"), "key");
}

TEST_F(SystemTabTest, TheSheetShowsTheOpenWorkspaceFromTheStart) {
    fs::create_directory(root / "Work");
    configure("Work", true);
    page = std::make_unique<SystemTab>(reporter, workspace, *settings, keyboard, mouse);
    page->setSheet(&sheet);
    sheet.addPage(*page);
    std::string caption;
    Strings tabs;
    desktop.views.whenModal([&](os::sim::HeadlessView& view) {
        caption = view.caption();
        tabs = view.tabs();
        view.click(templates::sheet::Cancel);
    });
    sheet.DoModal();
    EXPECT_EQ(tabs, Strings{"System"});
    EXPECT_EQ(caption, "Work - Pastrix");
}

TEST(NewWorkspaceName, IsOneDirectoryName) {
    EXPECT_EQ(NewWorkspaceDialog::trim(" \t a b \r\n"), "a b");
    EXPECT_EQ(NewWorkspaceDialog::trim("   "), "");
    for (const std::string name : {"Work", "a.b", "...", ".hidden", "Ünïcode", "a b"}) {
        EXPECT_FALSE(NewWorkspaceDialog::whyNotAWorkspaceName(name).has_value()) << name;
    }
    for (const std::string name : {"", ".", "..", "a/b", "/", "\\", "x\\..", "a\x7F"}) {
        EXPECT_TRUE(NewWorkspaceDialog::whyNotAWorkspaceName(name).has_value()) << name;
    }
}

}  // namespace
