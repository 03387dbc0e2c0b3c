#include "config/clipboard/ExecuterImpl.h"
#include "os/Clipboard.h"
#include "os/sim/SimEditor.h"
#include "support/RecordingReporter.h"
#include "support/SimDesktopTest.h"
#include "windows/clipboard/ClipboardException.h"

#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

namespace {

using os::posix::InProcessClipboard;
using products::pastrix::config::clipboard::ExecuterImpl;
using products::pastrix::config::clipboard::KeystrokeTable;
using products::pastrix::config::workspace::Workspace;

const std::vector<InProcessClipboard::Format> usersClipboard = {
    {os::cf::Text, std::string("user text\0", 10)},
    {0xC123, "opaque bytes of another application"},
};

class ExecuterImplTest : public testing_support::SimDesktopAssertionTest {
protected:
    ExecuterImplTest() {
        std::filesystem::create_directory(path("ws"));
        workspace.open("ws");
        editor.setText("Hello world");
        editor.select(0, 5);
        desktop.clipboard.setContent(usersClipboard);
    }

    std::string slotText(int key) const {
        const auto& slot = workspace.getClipboards()[static_cast<std::size_t>(key)];
        return slot ? slot->getText() : "(empty)";
    }

    std::vector<std::string> sentKeys() const {
        std::vector<std::string> keys;
        for (const auto& event : desktop.input.history()) {
            keys.push_back(
                std::string(1, static_cast<char>(event.virtualKey == 17 ? '^' : event.virtualKey)) +
                (event.released ? "-" : "+"));
        }
        return keys;
    }

    testing_support::RecordingReporter reporter;
    Workspace workspace{reporter, 0, directory.string()};
    os::sim::SimEditor editor{desktop, "notes.txt - Editor"};
    ExecuterImpl executer{workspace};
};

TEST_F(ExecuterImplTest, CopyTakesTheSelectionIntoTheSlotAndGivesTheUserHisClipboardBack) {
    EXPECT_TRUE(executer.startCopy('K'));
    EXPECT_EQ(sentKeys(), (std::vector<std::string>{"^+", "C+", "C-", "^-"}));
    executer.finishCopy('K');

    EXPECT_EQ(slotText('K'), "Hello");
    EXPECT_EQ(workspace.getClipboards()['K']->getCaption(), "notes.txt - Editor");
    EXPECT_EQ(workspace.getClipboards()['K']->getFormats().size(), 2U);
    EXPECT_TRUE(std::filesystem::exists(path("ws/px_75.pxf")));
    EXPECT_EQ(desktop.clipboard.content(), usersClipboard);
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_TRUE(assertions.reports.empty());
}

TEST_F(ExecuterImplTest, CopyOfNothingKeepsTheSlotAndItsFile) {
    executer.startCopy('K');
    executer.finishCopy('K');
    const auto written = std::filesystem::last_write_time(path("ws/px_75.pxf"));

    editor.select(0, 0);
    executer.startCopy('K');
    executer.finishCopy('K');
    EXPECT_EQ(slotText('K'), "Hello");
    EXPECT_EQ(std::filesystem::last_write_time(path("ws/px_75.pxf")), written);
    EXPECT_EQ(desktop.clipboard.content(), usersClipboard);
}

TEST_F(ExecuterImplTest, SlotOverTheSizeLimitStaysInMemoryAndItsOldFileStays) {
    executer.startCopy('K');
    executer.finishCopy('K');
    const std::string oldFile = readFile("ws/px_75.pxf");

    workspace.setSizeLimit(10);
    editor.select(0, 11);
    executer.startCopy('K');
    executer.finishCopy('K');
    EXPECT_EQ(slotText('K'), "Hello world");
    EXPECT_EQ(readFile("ws/px_75.pxf"), oldFile);
}

TEST_F(ExecuterImplTest, PasteTypesTheSlotAndThenRestoresTheUsersClipboard) {
    executer.startCopy('K');
    executer.finishCopy('K');
    editor.select(11, 11);

    EXPECT_TRUE(executer.startPaste('K'));
    EXPECT_EQ(editor.text(), "Hello worldHello");
    executer.finishPaste('K');
    EXPECT_EQ(desktop.clipboard.content(), usersClipboard);

    // A later Ctrl+V of the user's own pastes the user's data, not the slot's.
    desktop.input.userKey(17, true);
    desktop.input.userKey('V', true);
    EXPECT_EQ(editor.text(), "Hello worldHellouser text");
}

// Clipboard histories skip content that carries the marks: what the program puts there only
// for its keystroke carries them, the slot and the user's own clipboard never do.
TEST_F(ExecuterImplTest, OnlyWhatIsThereForTheKeystrokeIsMarkedForClipboardHistories) {
    std::vector<InProcessClipboard::Format> marks;
    for (const char* name :
         {"ExcludeClipboardContentFromMonitorProcessing", "Clipboard Viewer Ignore",
          "CanIncludeInClipboardHistory", "CanUploadToCloudClipboard"}) {
        marks.push_back({desktop.clipboard.registerFormat(name), std::string(4, '\0')});
    }
    const auto marked = [&marks](std::vector<InProcessClipboard::Format> content) {
        content.insert(content.end(), marks.begin(), marks.end());
        return content;
    };

    // A copy of nothing: the emptied clipboard holds the marks only, and no slot comes of it.
    editor.select(0, 0);
    executer.startCopy('K');
    EXPECT_EQ(desktop.clipboard.content(), marks);
    executer.finishCopy('K');
    EXPECT_EQ(slotText('K'), "(empty)");
    EXPECT_EQ(desktop.clipboard.content(), usersClipboard);

    // An application whose copy carries marks of its own: the slot keeps the content only.
    executer.startCopy('K');
    desktop.clipboard.setContent(marked({{os::cf::Text, std::string("pass\0", 5)}}));
    executer.finishCopy('K');
    EXPECT_EQ(slotText('K'), "pass");
    EXPECT_EQ(workspace.getClipboards()['K']->getFormats(), std::vector<unsigned>{os::cf::Text});
    EXPECT_EQ(desktop.clipboard.content(), usersClipboard);

    // A paste offers the slot with the marks and gives the user's clipboard back unmarked.
    executer.startPaste('K');
    EXPECT_EQ(desktop.clipboard.content(), marked({{os::cf::Text, std::string("pass\0", 5)}}));
    executer.finishPaste('K');
    EXPECT_EQ(desktop.clipboard.content(), usersClipboard);

    // A user's own clipboard that carried marks gets them back as they were.
    desktop.clipboard.setContent(marked(usersClipboard));
    executer.startPaste('K');
    executer.finishPaste('K');
    EXPECT_EQ(desktop.clipboard.content(), marked(usersClipboard));
    EXPECT_TRUE(assertions.reports.empty());
}

// A password manager's copy into a slot is kept for this run only: no file, and the slot's
// older file goes so that a restart cannot bring back what it replaced.
TEST_F(ExecuterImplTest, ASecretIsKeptInMemoryOnlyAndPastedMarkedAgain) {
    executer.startCopy('K');
    executer.finishCopy('K');
    ASSERT_TRUE(std::filesystem::exists(path("ws/px_75.pxf")));

    const InProcessClipboard::Format password{os::cf::Text, std::string("hunter2\0", 8)};
    const unsigned viewerIgnore = desktop.clipboard.registerFormat("Clipboard Viewer Ignore");
    executer.startCopy('K');
    desktop.clipboard.setContent({password, {viewerIgnore, ""}});
    executer.finishCopy('K');
    ASSERT_EQ(slotText('K'), "hunter2");
    EXPECT_TRUE(workspace.getClipboards()['K']->isSecret());
    EXPECT_FALSE(std::filesystem::exists(path("ws/px_75.pxf")));
    EXPECT_EQ(desktop.clipboard.content(), usersClipboard);

    // Offered with the marks, which say secret to every history.
    editor.select(11, 11);
    executer.startPaste('K');
    EXPECT_EQ(editor.text(), "Hello worldhunter2");
    const auto offered = desktop.clipboard.content();
    ASSERT_FALSE(offered.empty());
    EXPECT_EQ(offered[0], password);
    const unsigned history = desktop.clipboard.registerFormat("CanIncludeInClipboardHistory");
    EXPECT_TRUE(std::any_of(offered.begin(), offered.end(), [history](const auto& format) {
        return format.format == history && format.bytes == std::string(4, '\0');
    }));
    executer.finishPaste('K');
    EXPECT_EQ(desktop.clipboard.content(), usersClipboard);

    Workspace restarted{reporter, 0, directory.string()};
    restarted.open("ws");
    EXPECT_FALSE(restarted.getClipboards()['K']);
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_TRUE(assertions.reports.empty());
}

// Which of the marks an application's copy carries decides whether it is a secret.
TEST_F(ExecuterImplTest, OnlyTheMarksThatMeanSecretKeepACopyOffDisk) {
    const auto copyWithMark = [this](const char* name, const std::string& value) {
        std::filesystem::remove(path("ws/px_75.pxf"));
        executer.startCopy('K');
        desktop.clipboard.setContent({{os::cf::Text, std::string("text\0", 5)},
                                      {desktop.clipboard.registerFormat(name), value}});
        executer.finishCopy('K');
        EXPECT_EQ(slotText('K'), "text") << name;
        return std::filesystem::exists(path("ws/px_75.pxf"));
    };
    const std::string zero(4, '\0');
    const std::string one("\1\0\0\0", 4);
    EXPECT_FALSE(copyWithMark("ExcludeClipboardContentFromMonitorProcessing", one));
    EXPECT_FALSE(copyWithMark("clipboard viewer ignore", ""));
    EXPECT_FALSE(copyWithMark("CanIncludeInClipboardHistory", zero));
    EXPECT_TRUE(copyWithMark("CanIncludeInClipboardHistory", one));
    EXPECT_TRUE(copyWithMark("CanUploadToCloudClipboard", zero));
    // The hint of another desktop means nothing here.
    EXPECT_TRUE(copyWithMark("x-kde-passwordManagerHint", "secret"));
    EXPECT_FALSE(workspace.getClipboards()['K']->isSecret());
}

TEST_F(ExecuterImplTest, PasteFromAnEmptySlotDoesNothingAtAll) {
    EXPECT_FALSE(executer.startPaste('J'));
    EXPECT_FALSE(executer.startPaste(300));
    EXPECT_TRUE(desktop.input.history().empty());
    EXPECT_EQ(desktop.clipboard.content(), usersClipboard);
}

TEST_F(ExecuterImplTest, EmptyUserClipboardLeavesWhatTheOperationPutThere) {
    desktop.clipboard.setContent({});
    executer.startCopy('K');
    executer.finishCopy('K');
    ASSERT_FALSE(desktop.clipboard.content().empty());
    EXPECT_EQ(desktop.clipboard.content()[0].bytes, std::string("Hello\0", 6));
}

TEST_F(ExecuterImplTest, CaptionIsTheTitleInFrontOrNotAvailable) {
    desktop.windows.setWindowTitle(editor.window(), "");
    executer.startCopy('K');
    executer.finishCopy('K');
    EXPECT_EQ(workspace.getClipboards()['K']->getCaption(), "");

    // The application closed before the copy finished: its title cannot be read.
    executer.startCopy('J');
    const os::WindowHandle gone = desktop.windows.addWindow("gone");
    desktop.windows.setForegroundWindow(gone);
    desktop.windows.destroyWindow(gone);
    desktop.windows.setForegroundWindow(editor.window());
    desktop.windows.setWindowTitle(editor.window(), "x");
    desktop.windows.destroyWindow(editor.window());
    executer.finishCopy('J');
    EXPECT_EQ(workspace.getClipboards()['J']->getCaption(), "N/A");
}

TEST_F(ExecuterImplTest, ClipboardFailuresLeaveTheExecuter) {
    desktop.clipboard.fail(os::sim::SimClipboard::Operation::Open, 5);
    EXPECT_THROW(executer.startCopy('K'), windows::clipboard::CouldNotOpenClipboardException);
    EXPECT_TRUE(desktop.input.history().empty());
}

class ExecuterInTerminalTest : public ExecuterImplTest {
protected:
    std::string sentKeyNames() const {
        std::string keys;
        for (const auto& event : desktop.input.history()) {
            const int key = event.virtualKey;
            keys += key == 17     ? "Ctrl"
                    : key == 16   ? "Shift"
                    : key == 0x2D ? "Insert"
                                  : std::string(1, char(key));
            // The extended flag: the key block's Insert, not the numeric pad's.
            keys += event.extended ? "*" : "";
            keys += event.released ? "- " : "+ ";
        }
        return keys;
    }

    void fillSlot(int key, const std::string& text) {
        desktop.clipboard.setContent({{os::cf::Text, text + std::string(1, '\0')}});
        workspace.setFromCurrentClipboard(static_cast<unsigned>(key));
        desktop.clipboard.setContent(usersClipboard);
    }
};

TEST_F(ExecuterInTerminalTest, TerminalsGetTheirOwnKeysAndNeverCtrlC) {
    os::sim::SimEditor terminal{desktop, "bash", "Gnome-terminal"};
    fillSlot('K', "echo slot");
    executer.startCopy('J');
    executer.finishCopy('J');
    ASSERT_TRUE(executer.startPaste('K'));
    executer.finishPaste('K');
    EXPECT_EQ(sentKeyNames(), "Ctrl+ Shift+ C+ C- Shift- Ctrl- Ctrl+ Shift+ V+ V- Shift- Ctrl- ");
    EXPECT_EQ(desktop.clipboard.content(), usersClipboard);
}

TEST_F(ExecuterInTerminalTest, XTermPastesFromAndCopiesThePrimarySelection) {
    os::sim::SimEditor terminal{desktop, "xterm", "XTerm"};
    fillSlot('K', "echo slot");
    ASSERT_TRUE(executer.startPaste('K'));
    // Shift+Insert pastes PRIMARY there; the Ctrl tap after it ends the operation.
    EXPECT_EQ(sentKeyNames(), "Shift+ Insert*+ Insert*- Shift- Ctrl+ Ctrl- ");
    EXPECT_EQ(desktop.clipboard.primaryText(), std::optional<std::string>("echo slot"));
    executer.finishPaste('K');
    EXPECT_EQ(desktop.clipboard.content(), usersClipboard);

    desktop.clipboard.setPrimaryText("ls -l /tmp");
    ASSERT_TRUE(executer.startCopy('J'));
    executer.finishCopy('J');
    EXPECT_EQ(slotText('J'), "ls -l /tmp");
    EXPECT_EQ(workspace.getClipboards()['J']->getCaption(), "xterm");
    EXPECT_EQ(desktop.clipboard.content(), usersClipboard);

    // Nothing selected: the slot keeps what it had.
    desktop.clipboard.setPrimaryText(std::nullopt);
    executer.startCopy('J');
    executer.finishCopy('J');
    EXPECT_EQ(slotText('J'), "ls -l /tmp");
    EXPECT_TRUE(assertions.reports.empty());
}

TEST_F(ExecuterInTerminalTest, TheUsersTableDecides) {
    os::sim::SimEditor terminal{desktop, "xterm", "XTerm"};
    KeystrokeTable keystrokes;
    keystrokes.addLines("XTerm paste Ctrl+Shift+Insert primary\n", "test");
    executer.setKeystrokes(std::move(keystrokes));
    fillSlot('K', "echo slot");
    ASSERT_TRUE(executer.startPaste('K'));
    EXPECT_EQ(sentKeyNames(), "Ctrl+ Shift+ Insert*+ Insert*- Shift- Ctrl- ");
    executer.finishPaste('K');
}

}  // namespace
