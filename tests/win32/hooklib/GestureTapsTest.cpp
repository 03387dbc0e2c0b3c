#include "EventWindow.h"
#include "HookLibraryModule.h"
#include "InstalledHooks.h"
#include "StartedProcess.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace pastrix::tests::hooklib {
namespace {

using namespace std::chrono_literals;
using Event = EventWindow::Event;

const char* const FrontClassName = "PastrixGestureTapsFront";

// A visible top-level window of this thread in front of the desktop, standing for the
// application the user types into: it logs the keys that reach it.
class FrontWindow {
public:
    struct Key {
        unsigned virtualKey;
        bool down;
    };

    FrontWindow() {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &FrontWindow::procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = FrontClassName;
        RegisterClassA(&windowClass);
        window = CreateWindowExA(0, FrontClassName, "Front", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50,
                                 50, 300, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~FrontWindow() { DestroyWindow(window); }
    FrontWindow(const FrontWindow&) = delete;
    FrontWindow& operator=(const FrontWindow&) = delete;

    HWND handle() const { return window; }
    // Wine keeps the X window it made for a window as this property.
    std::uintptr_t xWindow() const {
        return reinterpret_cast<std::uintptr_t>(GetPropA(window, "__wine_x11_whole_window"));
    }
    std::vector<Key> take() { return std::exchange(keys, {}); }

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN ||
            message == WM_SYSKEYUP) {
            auto* self = reinterpret_cast<FrontWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
            self->keys.push_back(
                {static_cast<unsigned>(wParam), message == WM_KEYDOWN || message == WM_SYSKEYDOWN});
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    HWND window;
    std::vector<Key> keys;
};

bool reached(const std::vector<FrontWindow::Key>& keys, unsigned virtualKey, bool down) {
    for (const FrontWindow::Key& key : keys) {
        if (key.virtualKey == virtualKey && key.down == down) {
            return true;
        }
    }
    return false;
}

bool reported(const std::vector<Event>& events, unsigned virtualKey, bool down) {
    for (const Event& event : events) {
        if (event.message == windows::hook::KeyEventMessage && event.virtualKey == virtualKey &&
            ((event.keyData >> 31) == 0) == down) {
            return true;
        }
    }
    return false;
}

// Where the key's press or release first reached the window, or -1.
int positionOf(const std::vector<FrontWindow::Key>& keys, unsigned virtualKey, bool down) {
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (keys[i].virtualKey == virtualKey && keys[i].down == down) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// Ctrl+<key> as the program synthesises its copy and paste keystrokes.
void sendOwnKeystroke(unsigned virtualKey) {
    for (const auto& [key, flags] : {std::pair<unsigned, DWORD>{VK_CONTROL, 0},
                                     {virtualKey, 0},
                                     {virtualKey, KEYEVENTF_KEYUP},
                                     {VK_CONTROL, KEYEVENTF_KEYUP}}) {
        keybd_event(static_cast<BYTE>(key), static_cast<BYTE>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)),
                    flags, 0);
    }
}

// The user's keys come from X through xdotool, so Wine hands them to the hooks as hardware
// input; keybd_event stands for the program's own synthesised keys.
class GestureTaps : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(library.module(), nullptr);
        ASSERT_NE(library.keyboardSetSlotKeys, nullptr);
        hooks = std::make_unique<InstalledHooks>(library, events.handle());
        ASSERT_TRUE(hooks->installed());
        ASSERT_NE(front.xWindow(), 0U);
        setSlotKeys({'K', 'A'});
        ASSERT_TRUE(runXdotool("windowactivate --sync " + std::to_string(front.xWindow())));
        events.collect(0, 200ms);
        front.take();
    }

    void TearDown() override { hooks.reset(); }

    void setSlotKeys(std::initializer_list<unsigned> keys) {
        std::array<std::uint8_t, 256> flags{};
        for (const unsigned key : keys) {
            flags[key] = 1;
        }
        library.keyboardSetSlotKeys(flags.data());
    }

    // What the program does with the events the hooks reported, round by round.
    using Program = std::function<void(const std::vector<Event>&)>;

    // Like the program when no copy or paste runs: every trigger release (Ctrl, the left
    // button) ends a hold of the typing the library started.
    Program idleProgram() {
        return [this](const std::vector<Event>& round) {
            const bool buttonReleased =
                std::any_of(round.begin(), round.end(), [](const Event& event) {
                    return event.message == windows::hook::MouseEventMessage;
                });
            if (reported(round, VK_CONTROL, false) || buttonReleased) {
                library.keyboardReleaseTyping();
            }
        };
    }

    // Runs xdotool while this thread pumps, which runs the hook procedures; what the hooks
    // reported meanwhile is in `seen`. Wine cannot wait for a Unix process, so xdotool ends
    // with a tap of F12 and the run is over once the hooks reported its release.
    bool runXdotool(const std::string& arguments, Program program = {},
                    std::chrono::milliseconds limit = 5s) {
        if (!program) {
            program = idleProgram();
        }
        const StartedProcess xdotool("Z:\\usr\\bin\\xdotool " + arguments + " key F12");
        if (!xdotool.ok()) {
            return false;
        }
        seen.clear();
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            const std::vector<Event> more = events.collect(0, 20ms);
            seen.insert(seen.end(), more.begin(), more.end());
            program(more);
            if (reported(more, VK_F12, false)) {
                const std::vector<Event> last = events.collect(0, 150ms);
                seen.insert(seen.end(), last.begin(), last.end());
                return true;
            }
        }
        return false;
    }

    HookLibraryModule library;
    EventWindow events;
    FrontWindow front;
    std::unique_ptr<InstalledHooks> hooks;
    std::vector<Event> seen;
};

TEST_F(GestureTaps, ASlotKeyTappedWithCtrlHeldIsReportedButNeverReachesTheWindowInFront) {
    ASSERT_TRUE(runXdotool("keydown ctrl key k key a key a keyup ctrl"));

    const std::vector<FrontWindow::Key> keys = front.take();
    EXPECT_TRUE(reported(seen, 'K', true));
    EXPECT_TRUE(reported(seen, 'K', false));
    EXPECT_TRUE(reported(seen, 'A', true));
    EXPECT_TRUE(reached(keys, VK_CONTROL, true));
    EXPECT_TRUE(reached(keys, VK_CONTROL, false));
    EXPECT_FALSE(reached(keys, 'K', true));
    EXPECT_FALSE(reached(keys, 'K', false));
    EXPECT_FALSE(reached(keys, 'A', true));
    EXPECT_FALSE(reached(keys, 'A', false));
}

TEST_F(GestureTaps, TheReleaseOfAWithheldTapStaysWithheldAfterCtrlWasLetGo) {
    ASSERT_TRUE(runXdotool("keydown ctrl keydown k keyup ctrl keyup k"));

    const std::vector<FrontWindow::Key> keys = front.take();
    EXPECT_TRUE(reported(seen, 'K', false));
    EXPECT_FALSE(reached(keys, 'K', true));
    EXPECT_FALSE(reached(keys, 'K', false));
}

TEST_F(GestureTaps, TypingOtherCtrlShortcutsAndCtrlAltPassUntouched) {
    ASSERT_TRUE(runXdotool("key k key ctrl+s key ctrl+alt+k"));

    const std::vector<FrontWindow::Key> keys = front.take();
    // Plain typing of a slot key, a Ctrl shortcut of a key without a slot, and Ctrl+Alt
    // (AltGr on many layouts).
    EXPECT_TRUE(reached(keys, 'K', true));
    EXPECT_TRUE(reached(keys, 'S', true));
    EXPECT_TRUE(reached(keys, 'S', false));
    int kPresses = 0;
    for (const FrontWindow::Key& key : keys) {
        kPresses += key.virtualKey == 'K' && key.down ? 1 : 0;
    }
    EXPECT_EQ(kPresses, 2);
}

TEST_F(GestureTaps, ASlotKeyTappedWithTheLeftButtonHeldIsWithheld) {
    // Wine calls the mouse procedure a little after a key that follows at once; a person's
    // key comes later than that.
    ASSERT_TRUE(runXdotool("mousemove --window " + std::to_string(front.xWindow()) +
                           " 100 100 mousedown 1 sleep 0.2 key k mouseup 1 key a"));

    const std::vector<FrontWindow::Key> keys = front.take();
    EXPECT_TRUE(reported(seen, 'K', true));
    EXPECT_FALSE(reached(keys, 'K', true));
    // Once the button is up, typing passes again.
    EXPECT_TRUE(reached(keys, 'A', true));
}

TEST_F(GestureTaps, TheProgramsOwnKeysAndKeysWithoutASlotPass) {
    // The program's paste keystroke, synthesised, with K a slot key.
    sendOwnKeystroke('K');
    events.collect(0, 300ms);
    const std::vector<FrontWindow::Key> synthesised = front.take();
    EXPECT_TRUE(reached(synthesised, 'K', true));
    EXPECT_TRUE(reached(synthesised, 'K', false));

    // With no slot keys (gestures off, no workspace) nothing is withheld.
    library.keyboardSetSlotKeys(nullptr);
    ASSERT_TRUE(runXdotool("key ctrl+k"));
    const std::vector<FrontWindow::Key> typed = front.take();
    EXPECT_TRUE(reported(seen, 'K', true));
    EXPECT_TRUE(reached(typed, 'K', true));
}

TEST_F(GestureTaps, TypingDuringTheOperationReachesTheWindowAfterTheProgramsKeystroke) {
    // The program: at the gesture's Ctrl release it starts the paste and sends its keystroke
    // a while later (it keeps the user's clipboard first), pumping meanwhile, so the typing
    // reaches the hooks before it; the echo of its own Ctrl release ends the operation.
    int ctrlReleases = 0;
    int rounds = 0;
    const Program pasting = [&](const std::vector<Event>& round) {
        if (reported(round, VK_CONTROL, false) && ++ctrlReleases == 2) {
            library.keyboardReleaseTyping();
        }
        if (ctrlReleases == 1 && ++rounds == 10) {
            sendOwnKeystroke('V');
        }
    };
    ASSERT_TRUE(runXdotool("keydown ctrl key k keyup ctrl key b key c", pasting));

    const std::vector<FrontWindow::Key> keys = front.take();
    EXPECT_FALSE(reached(keys, 'K', true));
    const int pasted = positionOf(keys, 'V', true);
    ASSERT_NE(pasted, -1);
    EXPECT_GT(positionOf(keys, 'B', true), pasted);
    EXPECT_GT(positionOf(keys, 'C', true), positionOf(keys, 'B', true));
    EXPECT_GT(positionOf(keys, 'C', false), positionOf(keys, 'C', true));
    // The program heard of the typing only once it was typed again, after its own keys.
    int ownEcho = -1;
    int typed = -1;
    for (std::size_t i = 0; i < seen.size(); ++i) {
        if (seen[i].virtualKey == 'V' && ownEcho == -1) {
            ownEcho = static_cast<int>(i);
        }
        if (seen[i].virtualKey == 'B' && typed == -1) {
            typed = static_cast<int>(i);
        }
    }
    EXPECT_NE(ownEcho, -1);
    EXPECT_GT(typed, ownEcho);
}

TEST_F(GestureTaps, KeptTypingGoesToTheWindowAtTheBoundWhenTheProgramNeverSaysSo) {
    const Program stuck = [](const std::vector<Event>&) {};
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(runXdotool("keydown ctrl key k keyup ctrl key b", stuck, 10s));

    EXPECT_GE(std::chrono::steady_clock::now() - start, 4s);
    const std::vector<FrontWindow::Key> keys = front.take();
    EXPECT_TRUE(reached(keys, 'B', true));
    EXPECT_TRUE(reached(keys, 'B', false));
}

TEST_F(GestureTaps, AGestureTypedDuringAHoldIsWithheldWhenItIsTypedAgain) {
    // The first operation ends only a while after the second gesture was typed.
    int rounds = 0;
    bool released = false;
    const Program slow = [&](const std::vector<Event>& round) {
        if (!released && reported(seen, VK_CONTROL, false) && ++rounds == 15) {
            library.keyboardReleaseTyping();
            released = true;
        } else if (released && reported(round, VK_CONTROL, false)) {
            library.keyboardReleaseTyping();
        }
    };
    ASSERT_TRUE(runXdotool("keydown ctrl key k keyup ctrl keydown ctrl key a keyup ctrl", slow));

    const std::vector<FrontWindow::Key> keys = front.take();
    EXPECT_TRUE(reported(seen, 'A', true));
    EXPECT_FALSE(reached(keys, 'K', true));
    EXPECT_FALSE(reached(keys, 'A', true));
    EXPECT_FALSE(reached(keys, 'A', false));
    EXPECT_TRUE(reached(keys, VK_CONTROL, false));
}

}  // namespace
}  // namespace pastrix::tests::hooklib
