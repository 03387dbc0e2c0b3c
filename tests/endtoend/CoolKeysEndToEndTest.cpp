// Cool Keys from the user's keys to the editor's text, through the real hook library with
// both hooks started, and the key handlers wired as the property sheet wires them: every
// hook message goes to the slot key handler first and then to the Cool Keys page.
#include "config/clipboard/ExecuterImpl.h"
#include "config/clipboard/SlotToolTip.h"
#include "config/configfile/CCSettings.h"
#include "config/coolkeys/CKEntry.h"
#include "config/tab/CCTab.h"
#include "config/tab/SlotKeyHandler.h"
#include "config/workspace/Workspace.h"
#include "os/Clipboard.h"
#include "os/Keyboard.h"
#include "os/Port.h"
#include "os/sim/SimEditor.h"
#include "support/HookedWindow.h"
#include "support/RecordingReporter.h"
#include "support/SettingsFile.h"
#include "support/SimDesktopTest.h"

#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

namespace {

using products::pastrix::config::clipboard::ExecuterImpl;
using products::pastrix::config::clipboard::SlotToolTip;
using products::pastrix::config::configfile::CCSettings;
using products::pastrix::config::coolkeys::CKEntry;
using products::pastrix::config::tab::CCTab;
using products::pastrix::config::tab::SlotKeyHandler;
using products::pastrix::config::workspace::Workspace;

struct QuietToolTip final : SlotToolTip {
    void show(int, int, bool) override {}
    void hide() override {}
};

class CoolKeysEndToEndTest : public testing_support::SimDesktopAssertionTest {
protected:
    CoolKeysEndToEndTest() {
        std::filesystem::create_directory(path("ws"));
        workspace.open("ws");
        handler.attachToolTip(&toolTip);
    }

    void addCoolKey(const std::string& abbreviation, const std::string& text) {
        io::file::PlainFileReader reader;
        io::file::PlainFileWriter writer;
        CKEntry entry(reader, writer);
        entry.setAbbreviation(abbreviation);
        entry.setExpand(text);
        workspace.saveCoolKey(entry);
    }

    // The user-interface thread's loop over the page window's queue.
    void pump() {
        page.pump([this](const os::Message& message) {
            testing_support::HookedWindow::route(
                message, [this](int key, bool pressed) { handler.onKeyEvent(key, pressed); },
                [this](unsigned key, std::uint32_t keyData) { coolKeys.onKey(key, keyData); });
        });
    }

    void press(int key, bool down) {
        desktop.input.userKey(key, down);
        pump();
    }

    // Types the text as the user would, Shift included where the layout needs it.
    void type(const std::string& text) {
        for (const char character : text) {
            const auto scan = static_cast<unsigned short>(desktop.keyboard.vkKeyScan(character));
            const bool shift = (scan >> 8 & os::vkscan::Shift) != 0;
            if (shift) {
                press(os::vk::LShift, true);
            }
            press(scan & 0xFF, true);
            press(scan & 0xFF, false);
            if (shift) {
                press(os::vk::LShift, false);
            }
        }
    }

    void gesture(int key, int taps) {
        press(os::vk::Control, true);
        for (int i = 0; i < taps; ++i) {
            press(key, true);
            press(key, false);
        }
        press(os::vk::Control, false);
    }

    std::size_t injectedPresses(int virtualKey) const {
        const auto history = desktop.input.history();
        return static_cast<std::size_t>(
            std::count_if(history.begin(), history.end(), [&](const os::sim::InputEvent& e) {
                return e.injected && !e.released && e.virtualKey == virtualKey;
            }));
    }

    // The stored switch, on, as the page starts from it.
    CCSettings& switchedOn() {
        ccSettings.setEnabled(true);
        return ccSettings;
    }

    testing_support::RecordingReporter reporter;
    Workspace workspace{reporter, 0, directory.string()};
    os::sim::SimEditor editor{desktop, "notes.txt - Editor"};
    testing_support::HookedWindow page{desktop, "System"};
    ExecuterImpl executer{workspace};
    QuietToolTip toolTip;
    SlotKeyHandler handler{executer, workspace, true, {}};
    testing_support::SettingsFile settingsFile;
    CCSettings ccSettings{*settingsFile.config, reporter};
    CCTab coolKeys{reporter, workspace, switchedOn()};
};

TEST_F(CoolKeysEndToEndTest, TypingAnAbbreviationLeavesItsTextInTheEditor) {
    addCoolKey("btw", "by the way");
    type("I said b");
    type("tw");
    EXPECT_EQ(editor.text(), "I said by the way");
    EXPECT_EQ(injectedPresses(os::vk::Back), 3U);
    // The echo of the expansion went through the generator without expanding again.
    EXPECT_EQ(coolKeys.getGenerator().getTypedText(), "\b\b\bby the way");
    type(" btw");
    EXPECT_EQ(editor.text(), "I said by the way by the way");
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_TRUE(assertions.reports.empty());
}

TEST_F(CoolKeysEndToEndTest, LineBreaksCapitalsAndSymbolsAreTypedAsTheLayoutWants) {
    addCoolKey("sig", "Kind regards,\r\nJo (CEO) & \"Co\"!");
    type("Text.\rsig");
    EXPECT_EQ(editor.text(), "Text.\r\nKind regards,\r\nJo (CEO) & \"Co\"!");
    EXPECT_EQ(injectedPresses(os::vk::Return), 1U);
    // Shift was down for the echo of each capital and symbol, as it was when it was typed.
    EXPECT_EQ(coolKeys.getGenerator().getTypedText(), "\b\b\bKind regards,\rJo (CEO) & \"Co\"!");
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(CoolKeysEndToEndTest, ATextTheKeyboardCannotTypeIsReportedOnce) {
    addCoolKey("cf", "caf\xE9 au lait");
    type("cf");
    EXPECT_EQ(editor.text(), "caf");
    ASSERT_EQ(reporter.messages.size(), 1U);
    EXPECT_EQ(reporter.messages[0],
              "Error when generating cool keys. Exception: \n"
              "Error translating the character to the corresponding virtual-key code and shift "
              "state. Key: '\xE9' (-23)\n\nPlease contact velbrook.");
}

TEST_F(CoolKeysEndToEndTest, NothingExpandsWhileCoolKeysAreOffOrNoWorkspaceIsOpen) {
    addCoolKey("btw", "by the way");
    coolKeys.setEnabled(false);
    type("btw ");
    coolKeys.setEnabled(true);
    workspace.clear();
    type("btw ");
    EXPECT_EQ(editor.text(), "btw btw ");
    EXPECT_EQ(coolKeys.getGenerator().getTypedText(), "");
}

TEST_F(CoolKeysEndToEndTest, SlotGesturesAndCoolKeysShareTheKeys) {
    addCoolKey("btw", "by the way");
    const std::vector<os::posix::InProcessClipboard::Format> usersClipboard = {
        {os::cf::Text, std::string("mine\0", 5)}};
    desktop.clipboard.setContent(usersClipboard);

    type("btw");
    editor.select(0, editor.text().size());
    gesture('K', 2);  // copy the expansion into slot K
    EXPECT_EQ(workspace.getClipboards()['K']->getText(), "by the way");
    editor.select(editor.text().size(), editor.text().size());
    type(", ");
    gesture('K', 1);  // and paste it back
    type(" btw");
    EXPECT_EQ(editor.text(), "by the way, by the way by the way");
    EXPECT_EQ(handler.getStateMachine().getState(), 0);
    EXPECT_EQ(desktop.clipboard.content(), usersClipboard);
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_TRUE(assertions.reports.empty());
}

}  // namespace
