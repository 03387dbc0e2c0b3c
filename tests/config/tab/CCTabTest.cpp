// The Cool Keys page and its abbreviation editor as the user works with them in the
// headless view.
#include "config/configfile/CCSettings.h"
#include "config/coolkeys/CKEntry.h"
#include "config/tab/CCTab.h"
#include "config/tab/DialogTemplates.h"
#include "config/workspace/Workspace.h"
#include "io/file/PlainFileReader.h"
#include "io/file/PlainFileWriter.h"
#include "os/Dialogs.h"
#include "os/sim/HeadlessViews.h"
#include "support/RecordingReporter.h"
#include "support/SettingsFile.h"
#include "support/SimDesktopTest.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace {

using products::pastrix::config::configfile::CCSettings;
using products::pastrix::config::coolkeys::CKEntry;
using products::pastrix::config::tab::CCTab;
using products::pastrix::config::workspace::Workspace;
using Rows = std::vector<std::vector<std::string>>;
namespace ids = products::pastrix::config::tab::templates::cctab;
namespace editor = products::pastrix::config::tab::templates::abbreviation;

constexpr int DeleteKey = 46;

std::string conflict(const std::string& inner, const std::string& outer,
                     const std::string& outerText) {
    return "Conflicting abbreviations found. The '" + inner +
           "' abbreviation will be expanded when '" + outer + "' expands to '" + outerText +
           "'\nThat is, '" + inner + "' is a substring of '" + outerText + "'";
}

class CCTabTest : public testing_support::SimDesktopAssertionTest {
protected:
    CCTabTest() {
        std::filesystem::create_directory(path("ws"));
        workspace.open("ws");
        settings.setEnabled(true);
    }

    os::sim::HeadlessView& show() {
        page = std::make_unique<CCTab>(reporter, workspace, settings);
        page->create(0);
        os::sim::HeadlessView* view = desktop.views.find(ids::Dialog);
        EXPECT_NE(view, nullptr);
        view->activate();
        return *view;
    }

    void store(const std::string& abbreviation, const std::string& text) {
        io::file::PlainFileReader reader;
        io::file::PlainFileWriter writer;
        CKEntry entry(reader, writer);
        entry.setAbbreviation(abbreviation);
        entry.setExpand(text);
        workspace.saveCoolKey(entry);
    }

    // What the user does in the next editor that opens.
    void inEditor(std::function<void(os::sim::HeadlessView&)> script) {
        desktop.views.whenModal(std::move(script));
    }

    // Types both texts and presses OK; returns whether the editor closed.
    static bool enter(os::sim::HeadlessView& view, const std::string& abbreviation,
                      const std::string& text) {
        EXPECT_TRUE(view.type(editor::Abbreviation, abbreviation));
        EXPECT_TRUE(view.type(editor::Text, text));
        EXPECT_TRUE(view.click(os::id::Ok));
        return view.hasEnded();
    }

    Rows storedEntries() const {
        Rows rows;
        for (const auto& entry : workspace.getCoolKeys()) {
            rows.push_back({entry->getAbbreviation(), entry->getExpand()});
        }
        return rows;
    }

    testing_support::RecordingReporter reporter;
    testing_support::SettingsFile file;
    CCSettings settings{*file.config, reporter};
    Workspace workspace{reporter, 0, directory.string()};
    std::unique_ptr<CCTab> page;
};

TEST_F(CCTabTest, ListsTheEntriesNewestFirst) {
    store("btw", "by the way");
    store("sig", "Kind regards\r\nJo");
    os::sim::HeadlessView& view = show();
    EXPECT_EQ(view.caption(), "Cool Keys");
    EXPECT_TRUE(view.isChecked(ids::Enabled));
    const auto columns = view.listColumns(ids::List);
    ASSERT_EQ(columns.size(), 3U);
    EXPECT_EQ(columns[0].text, "Abbreviation");
    EXPECT_EQ(columns[1].text, "Associated text");
    EXPECT_EQ(columns[2].text, "Unfromatted text");
    EXPECT_EQ(columns[2].width, 0);
    EXPECT_EQ(view.listExtendedStyle(ids::List), 0x21U);
    EXPECT_EQ(view.listRows(ids::List), (Rows{{"sig", "Kind regards...", "Kind regards\r\nJo"},
                                              {"btw", "by the way", "by the way"}}));
    EXPECT_TRUE(view.toolTipsEnabled());
    EXPECT_EQ(view.hover(ids::Add), "Press this key to add a new Cool Key.");
    EXPECT_EQ(view.hover(ids::List),
              "This list shows all abbreviations and their associated text for the active "
              "workspace.");
    EXPECT_EQ(view.hover(ids::Enabled), "Select this to enable Cool Keys.");
    EXPECT_EQ(view.getText(ids::Hint), "Double click to edit an existing Cool Key.");

    // Every activation fills the list again from the workspace.
    store("new", "newest");
    view.activate();
    EXPECT_EQ(view.listRows(ids::List).size(), 3U);
    EXPECT_EQ(view.listRows(ids::List)[0][0], "new");
}

TEST_F(CCTabTest, SummaryShowsTheFirstLineWithinTwoHundredCharacters) {
    const std::string longLine(250, 'x');
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"short", "short"},
        {std::string(200, 'y'), std::string(200, 'y')},
        {longLine, std::string(200, 'x') + "..."},
        {"first\r\nsecond", "first..."},
        {std::string(210, 'z') + "\r\nmore", std::string(200, 'z') + "..."},
        {"ends with a break\r\n", "ends with a break..."},
    };
    for (const auto& [text, shown] : cases) {
        EXPECT_EQ(CCTab::summary(text), shown) << text;
    }
}

TEST_F(CCTabTest, EnabledSwitchesTheControlsAndIsStoredAtOnce) {
    os::sim::HeadlessView& view = show();
    ASSERT_TRUE(view.click(ids::Enabled));
    EXPECT_FALSE(page->isEnabled());
    EXPECT_EQ(file.stored("CC_Enabled"), "false");
    for (const int control : {ids::Add, ids::List, ids::Hint}) {
        EXPECT_FALSE(view.isEnabled(control)) << control;
    }
    EXPECT_FALSE(view.click(ids::Add));

    ASSERT_TRUE(view.click(ids::Enabled));
    EXPECT_TRUE(page->isEnabled());
    EXPECT_EQ(file.stored("CC_Enabled"), "true");
    EXPECT_TRUE(view.isEnabled(ids::Add));
    EXPECT_TRUE(reporter.informations.empty());
}

TEST_F(CCTabTest, WithoutAWorkspaceEnabledCannotBeChecked) {
    workspace.clear();
    os::sim::HeadlessView& view = show();
    EXPECT_FALSE(view.isChecked(ids::Enabled));
    EXPECT_FALSE(page->isEnabled());
    EXPECT_EQ(file.stored("CC_Enabled"), "false");

    ASSERT_TRUE(view.click(ids::Enabled));
    EXPECT_FALSE(view.isChecked(ids::Enabled));
    EXPECT_FALSE(view.isEnabled(ids::List));
    EXPECT_EQ(file.stored("CC_Enabled"), "false");
    EXPECT_EQ(reporter.informations,
              (std::vector<std::string>(
                  2, "You must select a workspace first. Do this under the System tab.")));
}

TEST_F(CCTabTest, AddSavesTheEditedEntryAndPutsItOnTop) {
    store("btw", "by the way");
    os::sim::HeadlessView& view = show();
    inEditor([this](os::sim::HeadlessView& dialog) {
        EXPECT_EQ(dialog.caption(), "Abbreviation");
        EXPECT_EQ(dialog.getText(editor::Abbreviation), "");
        EXPECT_EQ(dialog.getText(editor::Text), "");
        // Nothing typed in the editor is expanded.
        EXPECT_FALSE(page->isEnabled());
        EXPECT_TRUE(enter(dialog, "sig", "Kind regards\r\nJo"));
    });
    ASSERT_TRUE(view.click(ids::Add));
    EXPECT_TRUE(page->isEnabled());
    EXPECT_EQ(storedEntries(), (Rows{{"btw", "by the way"}, {"sig", "Kind regards\r\nJo"}}));
    EXPECT_EQ(view.listRows(ids::List)[0],
              (std::vector<std::string>{"sig", "Kind regards...", "Kind regards\r\nJo"}));

    // Cancel saves nothing.
    inEditor([](os::sim::HeadlessView& dialog) {
        dialog.type(editor::Abbreviation, "zz");
        dialog.type(editor::Text, "sleep");
        dialog.click(os::id::Cancel);
    });
    ASSERT_TRUE(view.click(ids::Add));
    EXPECT_EQ(workspace.getCoolKeys().size(), 2U);
    EXPECT_EQ(desktop.views.modalRuns().back().result, os::id::Cancel);
    EXPECT_TRUE(page->isEnabled());
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(CCTabTest, TheEditorRefusesMissingTextsAndOverlongAbbreviations) {
    os::sim::HeadlessView& view = show();
    const std::string fits(CKEntry::MaxAbbreviationLength, 'a');
    inEditor([&](os::sim::HeadlessView& dialog) {
        const std::vector<std::pair<std::pair<std::string, std::string>, std::string>> refused = {
            {{"", "by the way"}, "You must specify an abbreviation first."},
            {{"btw", ""}, "You must specify an assosiated text first."},
            {{"", ""}, "You must specify an abbreviation first."},
            {{fits + "a", "long"},
             "The abbreviation is too long. It may have at most 255 characters."},
        };
        for (const auto& [entry, message] : refused) {
            reporter.messages.clear();
            EXPECT_FALSE(enter(dialog, entry.first, entry.second)) << message;
            EXPECT_EQ(reporter.messages, (std::vector<std::string>{message}));
        }
        EXPECT_TRUE(enter(dialog, fits, "long"));
    });
    ASSERT_TRUE(view.click(ids::Add));
    EXPECT_EQ(storedEntries(), (Rows{{fits, "long"}}));
    // The saved entry reads back from its file.
    Workspace reopened{reporter, 0, directory.string()};
    reopened.open("ws");
    ASSERT_EQ(reopened.getCoolKeys().size(), 1U);
    EXPECT_EQ(reopened.getCoolKeys()[0]->getAbbreviation(), fits);
}

TEST_F(CCTabTest, TheEditorReportsTheFirstConflictingPair) {
    struct Case {
        Rows stored;
        std::string abbreviation;
        std::string text;
        std::string message;
    };
    const std::vector<Case> cases = {
        // The candidate's text holds a stored abbreviation.
        {{{"way", "road"}}, "btw", "by the way", conflict("way", "btw", "by the way")},
        // The candidate's abbreviation lies in a stored text.
        {{{"rd", "the road"}}, "road", "street", conflict("road", "rd", "the road")},
        // A text that holds its own abbreviation.
        {{{"hi", "hello"}}, "sig", "my sig", conflict("sig", "sig", "my sig")},
        // Stored entries that conflict block every save; texts are searched first, in order.
        {{{"ab", "one"}, {"cd", "two cd ab"}}, "ef", "ef", conflict("ab", "cd", "two cd ab")},
        {{{"x", "y z"}, {"z", "x"}}, "ef", "ef", conflict("z", "x", "y z")},
        // Matching is case-sensitive.
        {{{"WAY", "road"}}, "btw", "by the way", ""},
    };
    for (const Case& c : cases) {
        for (const auto& entry : storedEntries()) {
            io::file::PlainFileReader reader;
            io::file::PlainFileWriter writer;
            CKEntry gone(reader, writer);
            gone.setAbbreviation(entry[0]);
            workspace.deleteCoolKey(gone);
        }
        for (const auto& entry : c.stored) {
            store(entry[0], entry[1]);
        }
        os::sim::HeadlessView& view = show();
        reporter.messages.clear();
        inEditor([&](os::sim::HeadlessView& dialog) {
            EXPECT_EQ(enter(dialog, c.abbreviation, c.text), c.message.empty()) << c.message;
        });
        ASSERT_TRUE(view.click(ids::Add));
        if (c.message.empty()) {
            EXPECT_TRUE(reporter.messages.empty());
            EXPECT_EQ(workspace.getCoolKeys().size(), c.stored.size() + 1);
        } else {
            EXPECT_EQ(reporter.messages, (std::vector<std::string>{c.message}));
            EXPECT_EQ(workspace.getCoolKeys().size(), c.stored.size());
        }
    }
}

TEST_F(CCTabTest, DoubleClickEditsTheSelectedEntry) {
    store("btw", "by the way");
    store("sig", "Kind regards\r\nJo");
    os::sim::HeadlessView& view = show();
    // No row under the pointer: no editor.
    ASSERT_TRUE(view.doubleClick(ids::List, -1));
    EXPECT_TRUE(desktop.views.modalRuns().empty());

    inEditor([](os::sim::HeadlessView& dialog) {
        EXPECT_EQ(dialog.getText(editor::Abbreviation), "sig");
        EXPECT_EQ(dialog.getText(editor::Text), "Kind regards\r\nJo");
        EXPECT_TRUE(enter(dialog, "sig", "Best\r\nJo"));
    });
    ASSERT_TRUE(view.doubleClick(ids::List, 0));
    EXPECT_EQ(storedEntries(), (Rows{{"btw", "by the way"}, {"sig", "Best\r\nJo"}}));

    // A new abbreviation makes a new entry and keeps the old one.
    inEditor([](os::sim::HeadlessView& dialog) { EXPECT_TRUE(enter(dialog, "bw", "by the way")); });
    ASSERT_TRUE(view.doubleClick(ids::List, 1));
    EXPECT_EQ(storedEntries(),
              (Rows{{"btw", "by the way"}, {"sig", "Best\r\nJo"}, {"bw", "by the way"}}));
    std::vector<std::string> shown;
    for (const auto& row : view.listRows(ids::List)) {
        shown.push_back(row[0]);
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"bw", "sig", "btw"}));
}

TEST_F(CCTabTest, DeleteAsksAndRemovesTheSelectedEntriesAndFiles) {
    store("aa", "one");
    store("bb", "two");
    store("cc", "three");
    os::sim::HeadlessView& view = show();
    // Nothing selected: no question.
    ASSERT_TRUE(view.pressKey(ids::List, DeleteKey));
    EXPECT_TRUE(desktop.dialogs.shown().empty());

    // Another key, or No, keeps everything.
    ASSERT_TRUE(view.selectRows(ids::List, {0, 2}));
    ASSERT_TRUE(view.pressKey(ids::List, 'X'));
    EXPECT_TRUE(desktop.dialogs.shown().empty());
    desktop.dialogs.answerNext(os::id::No);
    ASSERT_TRUE(view.pressKey(ids::List, DeleteKey));
    ASSERT_EQ(desktop.dialogs.shown().size(), 1U);
    const auto question = desktop.dialogs.shown()[0];
    EXPECT_EQ(question.text, "Are you sure you want to delete all selected items permanentely?");
    EXPECT_EQ(question.caption, "Warning");
    EXPECT_EQ(question.style, os::mb::IconQuestion | os::mb::YesNo);
    EXPECT_EQ(workspace.getCoolKeys().size(), 3U);

    desktop.dialogs.answerNext(os::id::Yes);
    ASSERT_TRUE(view.pressKey(ids::List, DeleteKey));
    EXPECT_EQ(storedEntries(), (Rows{{"bb", "two"}}));
    EXPECT_EQ(view.listRows(ids::List), (Rows{{"bb", "two", "two"}}));
    Workspace reopened{reporter, 0, directory.string()};
    reopened.open("ws");
    EXPECT_EQ(reopened.getCoolKeys().size(), 1U);
    EXPECT_TRUE(reporter.messages.empty());
}

}  // namespace
