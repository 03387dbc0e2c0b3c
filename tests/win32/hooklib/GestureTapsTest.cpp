#include "EventWindow.h"
#include "HookLibraryModule.h"
#include "InstalledHooks.h"
#include "StartedProcess.h"

#include <array>
#include <chrono>
#include <cstdint>
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

    // Runs xdotool while this thread pumps, which runs the hook procedures; what the hooks
    // reported meanwhile is in `seen`. Wine cannot wait for a Unix process, so xdotool ends
    // with a tap of F12 and the run is over once the hooks reported its release.
    bool runXdotool(const std::string& arguments) {
        const StartedProcess xdotool("Z:\\usr\\bin\\xdotool " + arguments + " key F12");
        if (!xdotool.ok()) {
            return false;
        }
        seen.clear();
        for (int round = 0; round < 100; ++round) {
            const std::vector<Event> more = events.collect(0, 50ms);
            seen.insert(seen.end(), more.begin(), more.end());
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
    keybd_event(VK_CONTROL, static_cast<BYTE>(MapVirtualKeyA(VK_CONTROL, MAPVK_VK_TO_VSC)), 0, 0);
    keybd_event('K', static_cast<BYTE>(MapVirtualKeyA('K', MAPVK_VK_TO_VSC)), 0, 0);
    keybd_event('K', static_cast<BYTE>(MapVirtualKeyA('K', MAPVK_VK_TO_VSC)), KEYEVENTF_KEYUP, 0);
    keybd_event(VK_CONTROL, static_cast<BYTE>(MapVirtualKeyA(VK_CONTROL, MAPVK_VK_TO_VSC)),
                KEYEVENTF_KEYUP, 0);
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

}  // namespace
}  // namespace pastrix::tests::hooklib
