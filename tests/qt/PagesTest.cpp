// The slot and Cool Keys pages and the abbreviation editor, driven through Qt's widgets the
// way a user drives them.

#include "QtDesktopTest.h"
#include "config/configfile/CCSettings.h"
#include "config/configfile/PXSettings.h"
#include "config/coolkeys/CKEntry.h"
#include "config/tab/CCTab.h"
#include "config/tab/DialogTemplates.h"
#include "config/tab/PXTab.h"
#include "config/workspace/Workspace.h"
#include "io/file/PlainFileReader.h"
#include "io/file/PlainFileWriter.h"
#include "os/Clipboard.h"
#include "support/RecordingReporter.h"
#include "support/SettingsFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <memory>

#include <gtest/gtest.h>

namespace {

using products::pastrix::config::configfile::CCSettings;
using products::pastrix::config::configfile::PXSettings;
using products::pastrix::config::coolkeys::CKEntry;
using products::pastrix::config::tab::CCTab;
using products::pastrix::config::tab::PXTab;
using products::pastrix::config::workspace::Workspace;
using qt_testing::QtDesktopTest;
using Rows = std::vector<std::vector<std::string>>;
namespace templates = products::pastrix::config::tab::templates;
namespace px = templates::pxtab;
namespace cc = templates::cctab;
namespace editor = templates::abbreviation;

class PageTest : public QtDesktopTest {
protected:
    PageTest() {
        std::filesystem::create_directory(path("ws"));
        workspace.open("ws");
    }

    // The page as its sheet shows it: made, then activated.
    os::qt::QtView& show(windows::mfc::PropertyPage& page, int templateId) {
        EXPECT_TRUE(page.create(0));
        os::qt::QtView* view = views.find(templateId);
        EXPECT_NE(view, nullptr);
        os::DialogEvent activate;
        activate.notification = os::Notification::Activate;
        view->deliver(activate);
        return *view;
    }

    testing_support::RecordingReporter reporter;
    testing_support::SettingsFile file;
    Workspace workspace{reporter, 0, directory.string()};
};

class SlotPageTest : public PageTest {
protected:
    PXSettings settings{*file.config, reporter};
    PXTab page{reporter, workspace, settings};
};

TEST_F(SlotPageTest, CapturesAKeyAddsItAndDeletesRowsWithTheDeleteKey) {
    os::qt::QtView& view = show(page, px::Dialog);
    auto* list = widget<QTreeWidget>(view, px::FilterList);
    auto* keyBox = widget<QPlainTextEdit>(view, px::KeyBox);
    ASSERT_NE(list, nullptr);
    ASSERT_NE(keyBox, nullptr);
    EXPECT_EQ(rows(list), (Rows{{"A", "65"}, {"C", "67"}}));
    EXPECT_EQ(list->headerItem()->text(0).toStdString(), "Key");
    EXPECT_EQ(list->headerItem()->text(1).toStdString(), "Code");
    EXPECT_EQ(view.listExtendedStyle(px::FilterList), os::lvs::GridLines | os::lvs::FullRowSelect);

    // Releasing a key in the box names it; Alt is captured like any other key.
    keyBox->setFocus();
    QTest::keyClick(keyBox, Qt::Key_F5);
    EXPECT_EQ(keyBox->toPlainText().toStdString(), "F5");
    click(widget<QPushButton>(view, px::Add));
    QTest::keyClick(keyBox, Qt::Key_Alt);
    EXPECT_EQ(keyBox->toPlainText().toStdString(), "Alt");
    click(widget<QPushButton>(view, px::Add));
    EXPECT_EQ(rows(list), (Rows{{"A", "65"}, {"C", "67"}, {"F5", "116"}, {"Alt", "18"}}));
    EXPECT_EQ(file.stored("PX_FilterKeys"), "65|67|116|18");

    // Two rows selected with the mouse go with the Delete key, and gestures see it at once.
    clickRow(list, 0);
    clickRow(list, 2, Qt::ControlModifier);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(rows(list), (Rows{{"C", "67"}, {"Alt", "18"}}));
    EXPECT_EQ(page.getKeyHandler().getFilterKeys(), (std::vector<int>{67, 18}));
    EXPECT_FALSE(screenshot(view.widget(), "page-pastrix-filled").empty());
}

TEST_F(SlotPageTest, ChecksAndTheSizeLimitAreStoredWhenTheUserChangesThem) {
    os::qt::QtView& view = show(page, px::Dialog);
    auto* enabled = widget<QCheckBox>(view, px::Enabled);
    auto* limits = widget<QComboBox>(view, px::Limits);
    ASSERT_NE(enabled, nullptr);
    ASSERT_NE(limits, nullptr);
    EXPECT_TRUE(enabled->isChecked());
    ASSERT_EQ(limits->count(), 12);
    EXPECT_EQ(limits->currentText().toStdString(), "5 MB");

    click(enabled);
    EXPECT_FALSE(enabled->isChecked());
    EXPECT_EQ(file.stored("PX_Enabled"), "false");
    EXPECT_FALSE(widget<QPushButton>(view, px::Clipboards)->isEnabled());
    click(enabled);
    EXPECT_EQ(file.stored("PX_Enabled"), "true");
    EXPECT_TRUE(widget<QPushButton>(view, px::Clipboards)->isEnabled());

    // The keyboard picks the last entry, as the user would.
    limits->setFocus();
    QTest::keyClick(limits, Qt::Key_End);
    EXPECT_EQ(limits->currentText().toStdString(), "Unlimited");
    EXPECT_EQ(file.stored("PX_SerializeLimit"), "0");
}

TEST_F(SlotPageTest, WithoutAWorkspaceTheCheckIsTakenBackWithTheWorkspaceMessage) {
    workspace.clear();
    ASSERT_FALSE(workspace.isLoaded());
    os::qt::QtView& view = show(page, px::Dialog);
    auto* enabled = widget<QCheckBox>(view, px::Enabled);
    reporter.informations.clear();
    click(enabled);
    EXPECT_FALSE(enabled->isChecked());
    ASSERT_EQ(reporter.informations.size(), 1U);
    EXPECT_EQ(reporter.informations[0],
              "You must select a workspace first. Do this under the System tab.");
    // A disabled control does not take the user's clicks.
    EXPECT_FALSE(widget<QPushButton>(view, px::Add)->isEnabled());
}

TEST_F(SlotPageTest, TheSlotViewerRefreshesOnItsMessageWhileItIsOpenAndFollowsItsSize) {
    const auto fill = [&](unsigned key, const std::string& text) {
        desktop.clipboard.setContent({{os::cf::Text, text + std::string(1, '\0')}});
        ASSERT_TRUE(workspace.setFromCurrentClipboard(key));
        workspace.getClipboards()[key]->setCaption("notes.txt - Editor");
    };
    fill('K', "hello\r\nworld");
    os::qt::QtView& view = show(page, px::Dialog);
    bool sawViewer = false;
    whenShown(templates::viewclipboards::Dialog, [&](os::qt::QtView& dialog) {
        sawViewer = true;
        auto* list = widget<QTreeWidget>(dialog, templates::viewclipboards::List);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(dialog.widget()->windowTitle().toStdString(), "ws");
        EXPECT_EQ(rows(list), (Rows{{"75", "K", "hello...", "Text", "notes.txt - Editor"}}));
        EXPECT_EQ(list->header()->sectionSize(0), 0);

        // A copy while the viewer is open: the program posts the viewer its refresh.
        fill('A', "added");
        os::windows().postMessage(dialog.getHandle(), os::WmApp + 10, 0, 0);
        EXPECT_TRUE(waitFor([&] { return list->topLevelItemCount() == 2; }));
        EXPECT_EQ(rows(list)[0][1], "A");

        dialog.widget()->resize(500, 300);
        EXPECT_TRUE(waitFor([&] { return list->geometry() == QRect(0, 0, 500, 300); }));
        EXPECT_FALSE(screenshot(dialog.widget(), "dialog-slot-viewer-filled").empty());
        dialog.widget()->close();
    });
    click(widget<QPushButton>(view, px::Clipboards));
    EXPECT_TRUE(sawViewer);
    EXPECT_EQ(views.find(templates::viewclipboards::Dialog), nullptr);
}

class CoolKeysPageTest : public PageTest {
protected:
    void store(const std::string& abbreviation, const std::string& text) {
        io::file::PlainFileReader reader;
        io::file::PlainFileWriter writer;
        CKEntry entry(reader, writer);
        entry.setAbbreviation(abbreviation);
        entry.setExpand(text);
        workspace.saveCoolKey(entry);
    }

    Rows stored() const {
        Rows entries;
        for (const auto& entry : workspace.getCoolKeys()) {
            entries.push_back({entry->getAbbreviation(), entry->getExpand()});
        }
        return entries;
    }

    static std::vector<std::string> firstColumn(const QTreeWidget* list) {
        std::vector<std::string> texts;
        for (const auto& row : rows(list)) {
            texts.push_back(row[0]);
        }
        return texts;
    }

    CCSettings& switchedOn() {
        settings.setEnabled(true);
        return settings;
    }

    CCSettings settings{*file.config, reporter};
    CCTab page{reporter, workspace, switchedOn()};
};

TEST_F(CoolKeysPageTest, HeaderClicksSortAsTheListControlSaysWithOneDirectionForAllColumns) {
    store("b", "2 second");
    store("B", "3 third");
    store("a", "1 first");
    os::qt::QtView& view = show(page, cc::Dialog);
    auto* list = widget<QTreeWidget>(view, cc::List);
    ASSERT_NE(list, nullptr);
    // Newest first.
    EXPECT_EQ(firstColumn(list), (std::vector<std::string>{"a", "B", "b"}));

    // Byte order, capitals first, not the desktop's own collation.
    clickHeader(list, 0);
    EXPECT_EQ(firstColumn(list), (std::vector<std::string>{"B", "a", "b"}));
    clickHeader(list, 0);
    EXPECT_EQ(firstColumn(list), (std::vector<std::string>{"b", "a", "B"}));
    // The next click on another column sorts ascending again: the direction is shared.
    clickHeader(list, 1);
    EXPECT_EQ(firstColumn(list), (std::vector<std::string>{"a", "b", "B"}));
    EXPECT_FALSE(list->isSortingEnabled());
}

TEST_F(CoolKeysPageTest, DeletesTheSelectedEntriesOnlyWhenTheUserSaysYes) {
    store("one", "1");
    store("two", "2");
    store("three", "3");
    os::qt::QtView& view = show(page, cc::Dialog);
    auto* list = widget<QTreeWidget>(view, cc::List);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(firstColumn(list), (std::vector<std::string>{"three", "two", "one"}));

    // Nothing selected: no question.
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_TRUE(seenBoxes.empty());

    clickRow(list, 0);
    clickRow(list, 2, Qt::ControlModifier);
    answerNextBox(QMessageBox::No);
    QTest::keyClick(list, Qt::Key_Delete);
    ASSERT_EQ(seenBoxes.size(), 1U);
    EXPECT_EQ(seenBoxes[0].caption, "Warning");
    EXPECT_EQ(seenBoxes[0].text,
              "Are you sure you want to delete all selected items permanentely?");
    EXPECT_EQ(seenBoxes[0].icon, QMessageBox::Question);
    EXPECT_EQ(seenBoxes[0].buttons, (std::vector<std::string>{"Yes", "No"}));
    EXPECT_EQ(seenBoxes[0].parent, view.widget()->window());
    EXPECT_EQ(stored().size(), 3U);

    answerNextBox(QMessageBox::Yes);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(firstColumn(list), (std::vector<std::string>{"two"}));
    EXPECT_EQ(stored(), (Rows{{"two", "2"}}));
}

TEST_F(CoolKeysPageTest, DoubleClickEditsTheEntryInTheModalEditor) {
    store("sig", "Regards");
    os::qt::QtView& view = show(page, cc::Dialog);
    auto* list = widget<QTreeWidget>(view, cc::List);
    ASSERT_NE(list, nullptr);

    bool sawEditor = false;
    whenShown(editor::Dialog, [&](os::qt::QtView& dialog) {
        sawEditor = true;
        EXPECT_EQ(dialog.widget()->windowTitle().toStdString(), "Abbreviation");
        EXPECT_TRUE(dialog.widget()->isModal());
        auto* abbreviation = widget<QLineEdit>(dialog, editor::Abbreviation);
        auto* text = widget<QPlainTextEdit>(dialog, editor::Text);
        EXPECT_EQ(abbreviation->text().toStdString(), "sig");
        EXPECT_EQ(text->toPlainText().toStdString(), "Regards");
        EXPECT_FALSE(screenshot(dialog.widget(), "dialog-abbreviation-editing").empty());
        // Enter makes a line break, with Shift or Ctrl too, and the dialog stays open.
        text->setFocus();
        text->moveCursor(QTextCursor::End);
        QTest::keyClick(text, Qt::Key_Return);
        QTest::keyClicks(text, "Jo");
        QTest::keyClick(text, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClicks(text, "M");
        QTest::keyClick(text, Qt::Key_Return, Qt::ControlModifier);
        QTest::keyClick(text, Qt::Key_Enter, Qt::KeypadModifier);
        QTest::keyClicks(text, "x");
        EXPECT_FALSE(dialog.hasEnded());
        click(widget<QPushButton>(dialog, os::id::Ok));
    });
    doubleClickRow(list, 0);
    EXPECT_TRUE(sawEditor);
    EXPECT_EQ(stored(), (Rows{{"sig", "Regards\r\nJo\r\nM\r\n\r\nx"}}));
    EXPECT_EQ(rows(list), (Rows{{"sig", "Regards...", "Regards\r\nJo\r\nM\r\n\r\nx"}}));
    EXPECT_EQ(views.find(editor::Dialog), nullptr);
}

TEST_F(CoolKeysPageTest, TheEditorStaysOpenOnARefusalAndEscapeCancelsIt) {
    os::qt::QtView& view = show(page, cc::Dialog);
    int refusals = 0;
    whenShown(editor::Dialog, [&](os::qt::QtView& dialog) {
        // OK with nothing typed is refused and the dialog stays.
        click(widget<QPushButton>(dialog, os::id::Ok));
        refusals = static_cast<int>(reporter.messages.size());
        EXPECT_FALSE(dialog.hasEnded());
        QTest::keyClick(dialog.widget(), Qt::Key_Escape);
    });
    click(widget<QPushButton>(view, cc::Add));
    EXPECT_EQ(refusals, 1);
    ASSERT_FALSE(reporter.messages.empty());
    EXPECT_EQ(reporter.messages[0], "You must specify an abbreviation first.");
    EXPECT_TRUE(stored().empty());
    // The page works again once the editor is gone.
    EXPECT_TRUE(page.isEnabled());
}

}  // namespace
