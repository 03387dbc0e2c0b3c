#include "config/clipboard/ViewerRefreshMessage.h"
#include "config/tab/SlotKeyHandler.h"
#include "os/Keyboard.h"
#include "support/SimDesktopTest.h"

#include <algorithm>
#include <deque>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using products::pastrix::config::clipboard::Executer;
using products::pastrix::config::clipboard::SlotToolTip;
using products::pastrix::config::clipboard::StateMachine;
using products::pastrix::config::tab::SlotKeyHandler;
using products::pastrix::config::workspace::ActiveWorkspace;

struct Event {
    int virtualKey;
    bool pressed;
};

// Sends keys as the foreground application would see them: a started operation's Ctrl+C
// or Ctrl+V comes back through the hooks, after the event that started it.
class EchoingExecuter final : public Executer {
public:
    explicit EchoingExecuter(std::deque<Event>& queue) : echoes(queue) {}

    bool startCopy(int key) override { return start("startCopy ", key, 'C'); }
    bool startPaste(int key) override { return start("startPaste ", key, 'V'); }
    void finishCopy(int key) override { log.push_back("finishCopy " + std::to_string(key)); }
    void finishPaste(int key) override { log.push_back("finishPaste " + std::to_string(key)); }

    bool emptySlots = false;
    bool echo = true;
    std::vector<std::string> log;

private:
    bool start(const char* name, int key, int letter) {
        log.push_back(name + std::to_string(key));
        if (emptySlots && letter == 'V') {
            return false;
        }
        if (echo) {
            for (const Event event : {Event{os::vk::Control, true}, Event{letter, true},
                                      Event{letter, false}, Event{os::vk::Control, false}}) {
                echoes.push_back(event);
            }
        }
        return true;
    }

    std::deque<Event>& echoes;
};

class RecordingToolTip final : public SlotToolTip {
public:
    void show(int key, int kind, bool atCursor) override {
        log.push_back("show " + std::to_string(key) + " " + std::to_string(kind) +
                      (atCursor ? " cursor" : ""));
    }
    void hide() override { log.push_back("hide"); }
    std::vector<std::string> log;
};

class SwitchableWorkspace final : public ActiveWorkspace {
public:
    bool isLoaded() const override { return loaded; }
    bool isSlotFilled(int key) const override {
        return loaded && std::find(filled.begin(), filled.end(), key) != filled.end();
    }
    bool loaded = true;
    std::vector<int> filled{'K', 'J', 0x5B};
};

class SlotKeyHandlerTest : public testing_support::SimDesktopAssertionTest {
protected:
    SlotKeyHandlerTest() { handler.attachToolTip(&toolTip); }

    // Plays a script of user actions: "ctrl+" holds Ctrl, "ctrl-" lets it go, "lb+" and
    // "lb-" do the same with the left button (the mouse hook reports only its release),
    // "K" taps the key K, "K+" and "K-" press and release it, "shift", "alt" likewise.
    void play(const std::string& script) {
        std::istringstream in(script);
        for (std::string token; in >> token;) {
            const char last = token.back();
            const std::string name = (last == '+' || last == '-') && token.size() > 1
                                         ? token.substr(0, token.size() - 1)
                                         : token;
            const int key = keyOf(name);
            if (last == '+' && token.size() > 1) {
                userEvent(key, true);
            } else if (last == '-' && token.size() > 1) {
                userEvent(key, false);
            } else {
                userEvent(key, true);
                userEvent(key, false);
            }
        }
    }

    static int keyOf(const std::string& name) {
        if (name == "ctrl")
            return os::vk::Control;
        if (name == "alt")
            return os::vk::Menu;
        if (name == "shift")
            return os::vk::Shift;
        if (name == "lb")
            return os::vk::LButton;
        return name.at(0);
    }

    void userEvent(int key, bool pressed) {
        desktop.keyboard.setKeyDown(key, pressed);
        if (key != os::vk::LButton || !pressed) {
            deliver(Event{key, pressed});
        }
        while (!echoes.empty()) {
            const Event echo = echoes.front();
            echoes.pop_front();
            desktop.keyboard.setKeyDown(echo.virtualKey, echo.pressed);
            deliver(echo);
        }
    }

    void deliver(Event event) { handler.onKeyEvent(event.virtualKey, event.pressed); }

    std::deque<Event> echoes;
    EchoingExecuter executer{echoes};
    RecordingToolTip toolTip;
    SwitchableWorkspace workspace;
    SlotKeyHandler handler{executer, workspace, true, {0x5B, 0x5C}};
};

using Log = std::vector<std::string>;

// The keys whose gesture taps the hook keeps from the application: filled slots only, never
// a trigger or a filter key, none while gestures are off; a slot filled since is taken in
// with the next event.
TEST_F(SlotKeyHandlerTest, WithheldKeysFollowFilledSlotsFilterKeysAndEnabled) {
    std::vector<SlotKeyHandler::SlotKeys> told;
    handler.setSlotKeysListener(
        [&](const SlotKeyHandler::SlotKeys& keys) { told.push_back(keys); });
    const auto withheld = [&] {
        std::string keys;
        for (int key = 1; key <= 254; ++key) {
            if (told.back()[static_cast<std::size_t>(key)] != 0) {
                keys += static_cast<char>(key);
            }
        }
        return keys;
    };
    ASSERT_EQ(told.size(), 1U);
    EXPECT_EQ(withheld(), "JK");  // 0x5B is a filter key
    handler.setFilterKeys({'J'});
    EXPECT_EQ(withheld(), "K[");
    workspace.filled.push_back(os::vk::Control);
    workspace.filled.push_back('S');
    play("ctrl+");
    EXPECT_EQ(withheld(), "KS[");
    const std::size_t calls = told.size();
    play("K ctrl-");
    EXPECT_EQ(told.size(), calls);  // nothing changed, nothing told
    handler.setEnabled(false);
    EXPECT_EQ(withheld(), "");
    handler.setEnabled(true);
    workspace.loaded = false;
    play("ctrl+");
    EXPECT_EQ(withheld(), "");
}

// The keyboard hook lets the typing it kept back go once no operation runs: after the echo
// that finishes a copy or paste, never between its start and its end, and at once when the
// gesture started nothing.
TEST_F(SlotKeyHandlerTest, TheGestureEndIsToldOnceNoOperationRuns) {
    handler.setGestureEndListener([&] { executer.log.push_back("end"); });
    play("ctrl+ K K ctrl-");
    EXPECT_EQ(executer.log, (Log{"startCopy 75", "finishCopy 75", "end"}));
    executer.log.clear();
    play("ctrl+ K ctrl-");
    EXPECT_EQ(executer.log, (Log{"startPaste 75", "finishPaste 75", "end"}));
    executer.log.clear();
    play("ctrl+ K K K ctrl-");
    EXPECT_EQ(executer.log, (Log{"end"}));
    executer.log.clear();
    executer.emptySlots = true;
    play("ctrl+ K ctrl-");
    EXPECT_EQ(executer.log, (Log{"startPaste 75", "end"}));
    executer.log.clear();
    handler.setEnabled(false);
    play("ctrl+ K ctrl- shift");
    EXPECT_EQ(executer.log, (Log{"end"}));
}

TEST_F(SlotKeyHandlerTest, GesturesCopyPasteCancelAndRetarget) {
    const struct {
        const char* script;
        std::vector<int> filterKeys;
        Log expected;
    } cases[] = {
        {"ctrl+ K ctrl-", {}, {"startPaste 75", "finishPaste 75"}},
        {"ctrl+ K K ctrl-", {}, {"startCopy 75", "finishCopy 75"}},
        {"ctrl+ K K K ctrl-", {}, {}},
        {"ctrl+ K K K K ctrl-", {}, {"startPaste 75", "finishPaste 75"}},
        {"ctrl+ K J ctrl-", {}, {"startPaste 74", "finishPaste 74"}},
        {"ctrl+ K K J ctrl-", {}, {"startCopy 74", "finishCopy 74"}},
        // Ctrl with Alt (AltGr) holds no gesture, unless the left button is down too.
        {"ctrl+ alt+ K alt- ctrl-", {}, {}},
        {"lb+ ctrl+ alt+ K alt- ctrl- lb-", {}, {"startPaste 75", "finishPaste 75"}},
        // Selecting text with the mouse and tapping K twice copies into K.
        {"lb+ K K lb-", {}, {"startCopy 75", "finishCopy 75"}},
        {"ctrl+ K ctrl-", {'K'}, {}},
        {"ctrl+ shift ctrl-", {}, {"startPaste 16", "finishPaste 16"}},
        {"ctrl+ shift ctrl-", {16}, {}},
        // Alt can be a slot only with the left button: pressing it ends the Ctrl gesture.
        {"lb+ alt lb-", {}, {"startPaste 18", "finishPaste 18"}},
        {"ctrl+ alt ctrl-", {}, {}},
        // Key repeat delivers presses without releases; each steps the gesture on.
        {"ctrl+ K+ K+ K-  ctrl-", {}, {"startCopy 75", "finishCopy 75"}},
        {"ctrl+ K+ K+ K+ K- ctrl-", {}, {}},
        // Nothing is held: typing is just typing.
        {"K K ctrl", {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.script) + (c.filterKeys.empty() ? "" : " (filtered)"));
        executer.log.clear();
        desktop.keyboard.releaseAll();
        handler.setFilterKeys(c.filterKeys);
        play(c.script);
        EXPECT_EQ(executer.log, c.expected);
        EXPECT_EQ(handler.getStateMachine().getState(), StateMachine::Idle);
    }
    EXPECT_TRUE(assertions.reports.empty());
}

TEST_F(SlotKeyHandlerTest, TooltipFollowsTheGestureAndHidesOnCancelAndRelease) {
    play("ctrl+ K K K");
    EXPECT_EQ(toolTip.log, (Log{"show 75 3", "show 75 1", "hide"}));
    toolTip.log.clear();
    play("J ctrl-");
    EXPECT_EQ(toolTip.log, (Log{"show 74 3", "hide"}));
    toolTip.log.clear();

    // With the mouse as trigger the tooltip goes to the cursor.
    play("lb+ K lb-");
    EXPECT_EQ(toolTip.log, (Log{"show 75 3 cursor", "hide"}));
    toolTip.log.clear();

    // A release of Ctrl with no gesture only hides the tooltip.
    play("ctrl");
    EXPECT_EQ(toolTip.log, Log{"hide"});
}

TEST_F(SlotKeyHandlerTest, PasteFromEmptySlotSendsNothingAndReturnsToIdle) {
    executer.emptySlots = true;
    play("ctrl+ K ctrl-");
    EXPECT_EQ(executer.log, Log{"startPaste 75"});
    EXPECT_TRUE(echoes.empty());
    EXPECT_EQ(handler.getStateMachine().getState(), StateMachine::Idle);
}

TEST_F(SlotKeyHandlerTest, RunningOperationIgnoresEverythingButTheTriggerRelease) {
    executer.echo = false;  // the echo is lost: the user's next release must end the copy
    play("ctrl+ K K ctrl-");
    ASSERT_EQ(handler.getStateMachine().getState(), StateMachine::CopyRunning);
    play("ctrl+ J J shift alt");
    EXPECT_EQ(handler.getStateMachine().getState(), StateMachine::CopyRunning);
    EXPECT_EQ(executer.log, Log{"startCopy 75"});
    play("ctrl-");
    EXPECT_EQ(executer.log, (Log{"startCopy 75", "finishCopy 75"}));
    EXPECT_EQ(handler.getStateMachine().getState(), StateMachine::Idle);
}

TEST_F(SlotKeyHandlerTest, DisabledOrWithoutWorkspaceEveryEventIsIgnoredAndStateKept) {
    handler.setEnabled(false);
    play("ctrl+ K ctrl-");
    workspace.loaded = false;
    handler.setEnabled(true);
    play("ctrl+ K ctrl-");
    EXPECT_TRUE(executer.log.empty());
    EXPECT_TRUE(toolTip.log.empty());

    // A running operation stays running while gestures are off, and ends once they are on.
    workspace.loaded = true;
    executer.echo = false;
    play("ctrl+ K ctrl-");
    ASSERT_EQ(handler.getStateMachine().getState(), StateMachine::PasteRunning);
    handler.setEnabled(false);
    play("ctrl");
    EXPECT_EQ(handler.getStateMachine().getState(), StateMachine::PasteRunning);
    handler.setEnabled(true);
    play("ctrl");
    EXPECT_EQ(executer.log, (Log{"startPaste 75", "finishPaste 75"}));
}

TEST_F(SlotKeyHandlerTest, FinishedCopyRefreshesAnOpenViewerOnly) {
    const os::WindowHandle viewer = desktop.windows.addWindow();
    handler.setViewerWindow(viewer);

    play("ctrl+ K ctrl-");  // a paste: no refresh
    EXPECT_EQ(desktop.windows.pendingMessages(), 0U);

    play("ctrl+ K K ctrl-");
    const auto refresh = desktop.windows.takeMessage();
    ASSERT_TRUE(refresh.has_value());
    EXPECT_EQ(refresh->window, viewer);
    EXPECT_EQ(refresh->message, 0x800AU);
    EXPECT_EQ(refresh->wParam, 0U);
    EXPECT_EQ(refresh->lParam, 0);

    desktop.windows.destroyWindow(viewer);
    play("ctrl+ K K ctrl-");
    EXPECT_EQ(desktop.windows.pendingMessages(), 0U);
    EXPECT_EQ(executer.log.size(), 6U);
}

TEST_F(SlotKeyHandlerTest, KeyTestsReadTheCurrentKeyState) {
    EXPECT_FALSE(handler.isGestureHeld());
    desktop.keyboard.setKeyDown(os::vk::RControl, true);  // either Ctrl key makes Ctrl down
    EXPECT_TRUE(handler.isGestureHeld());
    desktop.keyboard.setKeyDown(os::vk::Menu, true);
    EXPECT_FALSE(handler.isGestureHeld());
    desktop.keyboard.setKeyDown(os::vk::LButton, true);
    EXPECT_TRUE(handler.isGestureHeld());

    EXPECT_TRUE(handler.isTriggerKey(1));
    EXPECT_TRUE(handler.isTriggerKey(17));
    EXPECT_FALSE(handler.isTriggerKey(162));  // only the generic Ctrl release counts
    EXPECT_FALSE(handler.isSlotKey(17));
    EXPECT_FALSE(handler.isSlotKey(0x5B));  // filtered
    EXPECT_TRUE(handler.isSlotKey(162));
}

TEST_F(SlotKeyHandlerTest, EventsWithoutTooltipAreReportedAndIgnored) {
    SlotKeyHandler detached(executer, workspace, true, {});
    desktop.keyboard.setKeyDown(os::vk::Control, true);
    detached.onKeyEvent('K', true);
    EXPECT_TRUE(assertions.reported("_tooltip"));
    EXPECT_EQ(detached.getStateMachine().getState(), StateMachine::Idle);
}

}  // namespace
