// The hook library keeps a gesture's key taps from the window in front, and nothing else: a
// window of the test's own, focused, logs every key press it receives while xdotool plays the
// user and the program's input sends its own keys.
#include "KeysTestSupport.h"
#include "hooklib/PostedMessages.h"
#include "os/posix/PosixErrors.h"
#include "os/x11/X11ErrorTrap.h"
#include "os/x11/X11Input.h"
#include "os/x11/X11Keyboard.h"
#include "windows/hook/HookLibrary.h"

#include <gtest/gtest.h>
// After gtest, whose names Xlib's macros would hide.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <algorithm>
#include <array>
#include <cctype>
#include <csignal>
#include <cstdint>
#include <dlfcn.h>
#include <mutex>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr std::uintptr_t Window = 0x4712;

// A focused top-level window that writes down the keys pressed in it: the letter, upper case
// when Ctrl was held ("K" for Ctrl+K), and "<" for a Ctrl press.
class KeyLog {
public:
    KeyLog() : display_(XOpenDisplay(nullptr)) {
        window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 10, 10, 200, 100, 0, 0,
                                      0xFFFFFF);
        XSelectInput(display_, window_, KeyPressMask | StructureNotifyMask);
        XMapRaised(display_, window_);
        XEvent event;
        do {
            XNextEvent(display_, &event);
        } while (event.type != MapNotify);
        focus();
    }

    unsigned long id() const { return window_; }

    // A click on the desktop gives the focus to the window manager.
    void focus() {
        XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
        XSync(display_, False);
    }
    ~KeyLog() { XCloseDisplay(display_); }
    KeyLog(const KeyLog&) = delete;
    KeyLog& operator=(const KeyLog&) = delete;

    // What arrived up to the end marker, a press of the Escape key the call sends.
    std::string take() {
        keys_test::run("xdotool key Escape");
        std::string log;
        keys_test::waitFor([&] {
            while (XPending(display_) > 0) {
                XEvent event;
                XNextEvent(display_, &event);
                if (event.type != KeyPress) {
                    continue;
                }
                const KeySym symbol = XLookupKeysym(&event.xkey, 0);
                if (symbol == XK_Escape) {
                    return true;
                }
                if (symbol == XK_Control_L || symbol == XK_Control_R) {
                    log += '<';
                } else if (symbol < 0x80) {
                    const auto letter = static_cast<char>(symbol);
                    log += (event.xkey.state & ControlMask) != 0
                               ? static_cast<char>(toupper(letter))
                               : letter;
                }
            }
            return false;
        });
        return log;
    }

private:
    Display* display_;
    ::Window window_;
};

class GestureGrabsTest : public ::testing::Test {
protected:
    void SetUp() override {
        // As the program does before its hooks start: a grab another client holds is an
        // error that must not end the process.
        os::x11::X11ErrorTrap::installHandler();
        keys_test::run("setxkbmap us");
        handle = dlopen(PASTRIX_PROGRAM_DIR "/clipboard.so", RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << dlerror();
        setSlotKeys = reinterpret_cast<windows::hook::SetSlotKeysFunction>(
            dlsym(handle, windows::hook::entry::KeyboardSetSlotKeys));
        initialize = reinterpret_cast<windows::hook::InitializerFunction>(
            dlsym(handle, windows::hook::entry::KeyboardInitializer));
        deinitialize = reinterpret_cast<windows::hook::DeinitializerFunction>(
            dlsym(handle, windows::hook::entry::KeyboardDeinitializer));
        mouseInitialize = reinterpret_cast<windows::hook::InitializerFunction>(
            dlsym(handle, windows::hook::entry::MouseInitializer));
        mouseDeinitialize = reinterpret_cast<windows::hook::DeinitializerFunction>(
            dlsym(handle, windows::hook::entry::MouseDeinitializer));
        releaseTyping = reinterpret_cast<windows::hook::ReleaseTypingFunction>(
            dlsym(handle, windows::hook::entry::KeyboardReleaseTyping));
        ASSERT_TRUE(setSlotKeys && initialize && deinitialize && mouseInitialize &&
                    mouseDeinitialize && releaseTyping);
        // Every key but the triggers and the filter keys A and C, as the slot page says.
        std::array<std::uint8_t, 256> keys{};
        for (unsigned key = 2; key <= 254; ++key) {
            keys[key] = key != 0x11 && key != 'A' && key != 'C' ? 1 : 0;
        }
        setSlotKeys(keys.data());
    }

    void TearDown() override {
        if (handle != nullptr) {
            setSlotKeys(nullptr);
            dlclose(handle);
        }
        hook_test::takePosted();
    }

    // Until the library has posted that many Ctrl releases after the first `since` messages.
    static void waitForCtrlReleases(std::size_t since, long count) {
        keys_test::waitFor([=] {
            std::lock_guard lock(hook_test::postedMutex);
            const auto from = hook_test::posted.begin() +
                              static_cast<long>(std::min(since, hook_test::posted.size()));
            return std::count_if(from, hook_test::posted.end(),
                                 [](const hook_test::Posted& message) {
                                     return message.wParam == 0x11 && message.released();
                                 }) >= count;
        });
    }

    // Until the library lets go of the keyboard it held for the typing after a gesture. The
    // test's xdotool and the library's replay share one XTEST keyboard, so a key the next
    // command held down when the replay ended would be let go of by the replay. The connection
    // is opened while the replay may run, as any thread of a program may: the replay, which
    // holds the server, must not wait for it.
    static void waitForTheKeyboard() {
        Display* display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr);
        EXPECT_TRUE(keys_test::waitFor([&] {
            if (XGrabKeyboard(display, DefaultRootWindow(display), False, GrabModeAsync,
                              GrabModeAsync, CurrentTime) != GrabSuccess) {
                return false;
            }
            XUngrabKeyboard(display, CurrentTime);
            XSync(display, False);
            return true;
        })) << "the library kept the keyboard";
        XCloseDisplay(display);
    }

    // Types gestures and plays the program's part at their end: once the library posted their
    // Ctrl releases, the operation is over and the typing the library kept meanwhile goes on.
    void gesture(const std::string& command, long gestures = 1) {
        const std::size_t since = hook_test::postedCount();
        keys_test::run(command);
        waitForCtrlReleases(since, gestures);
        releaseTyping();
        waitForTheKeyboard();
    }

    void* handle = nullptr;
    windows::hook::SetSlotKeysFunction setSlotKeys = nullptr;
    windows::hook::ReleaseTypingFunction releaseTyping = nullptr;
    windows::hook::InitializerFunction initialize = nullptr;
    windows::hook::DeinitializerFunction deinitialize = nullptr;
    windows::hook::InitializerFunction mouseInitialize = nullptr;
    windows::hook::DeinitializerFunction mouseDeinitialize = nullptr;
};

TEST_F(GestureGrabsTest, GestureTapsDoNotReachTheWindowAndEverythingElseDoes) {
    KeyLog log;
    initialize(Window, 1);
    mouseInitialize(Window, 2);

    // Copy gesture, paste gesture with Shift and Caps Lock in play, filter keys, plain typing.
    gesture("xdotool keydown ctrl key k key k keyup ctrl");
    gesture("xdotool keydown ctrl key shift+j keyup ctrl");
    gesture("xdotool key Caps_Lock keydown ctrl key k keyup ctrl key Caps_Lock");
    keys_test::run("xdotool key ctrl+a ctrl+c");
    keys_test::run("xdotool type xk");
    EXPECT_EQ(log.take(), "<<<<A<Cxk");
    // The taps were still seen and posted: the slot gesture goes on as before. Each Ctrl
    // release is posted once, though the server sends some twice: the program finishes its
    // copy or paste at the next one.
    const auto count = [](const std::vector<hook_test::Posted>& posted, unsigned key,
                          bool released) {
        return std::count_if(posted.begin(), posted.end(), [&](const hook_test::Posted& message) {
            return message.wParam == key && message.released() == released;
        });
    };
    keys_test::waitFor([&] {
        std::lock_guard lock(hook_test::postedMutex);
        return count(hook_test::posted, 'K', false) >= 4 &&
               count(hook_test::posted, 0x11, true) >= 5;
    });
    const std::vector<hook_test::Posted> posted = hook_test::takePosted();
    EXPECT_EQ(count(posted, 'K', false), 4);
    EXPECT_EQ(count(posted, 0x11, true), 5);

    // The program's own Ctrl+K (a paste keystroke on a table of the user's) goes through.
    os::posix::PosixErrors errors;
    os::x11::X11Keyboard keyboard(errors);
    os::x11::X11Input input(keyboard);
    input.keybdEvent(0x11, 0x1D, 0, 0);
    input.keybdEvent('K', 0x25, 0, 0);
    input.keybdEvent('K', 0x25, os::keyeventf::KeyUp, 0);
    input.keybdEvent(0x11, 0x1D, os::keyeventf::KeyUp, 0);
    const std::size_t beforeOwn = hook_test::postedCount();
    input.flush();
    waitForCtrlReleases(beforeOwn, 1);
    gesture("xdotool keydown ctrl key k keyup ctrl");
    EXPECT_EQ(log.take(), "<K<");

    // Gestures off on the slot page: nothing is taken.
    setSlotKeys(nullptr);
    keys_test::run("xdotool key ctrl+k");
    EXPECT_EQ(log.take(), "<K");
    std::array<std::uint8_t, 256> onlyK{};
    onlyK['K'] = 1;
    setSlotKeys(onlyK.data());
    gesture("xdotool key ctrl+j ctrl+k", 2);
    EXPECT_EQ(log.take(), "<J<");

    // The keyboard hook stopped (the mouse one still runs): no key stays taken.
    deinitialize();
    keys_test::run("xdotool key ctrl+k");
    EXPECT_EQ(log.take(), "<K");
    mouseDeinitialize();
}

// The server keeps a keyboard's raw events from the client that grabs it, so while a tap holds
// the keyboard the library hears only its core events: a Ctrl let go before the slot key, and
// the key's own release, are told all the same, and once each.
TEST_F(GestureGrabsTest, ReleasesDuringATapAreToldOnce) {
    KeyLog log;
    initialize(Window, 1);
    mouseInitialize(Window, 2);
    hook_test::takePosted();
    gesture("xdotool keydown ctrl keydown k keyup ctrl keyup k");
    EXPECT_EQ(log.take(), "<");
    const std::vector<hook_test::Posted> posted = hook_test::takePosted();
    std::string told;
    for (const hook_test::Posted& message : posted) {
        if (message.message == windows::hook::KeyEventMessage &&
            (message.wParam == 0x11 || message.wParam == 'K')) {
            told += message.wParam == 0x11 ? "c" : "k";
            told += message.released() ? "^" : "v";
        }
    }
    EXPECT_EQ(told, "cvkvc^k^");
    ASSERT_FALSE(posted.empty());
    EXPECT_FALSE(posted.back().isDown('K'));
    EXPECT_FALSE(posted.back().isDown(0x11));
    deinitialize();
    mouseDeinitialize();
}

// With the left button held a slot key's tap makes a gesture whatever the modifiers, so it
// stays away from the window too; a filter key reaches it, and the release gives the keys back.
TEST_F(GestureGrabsTest, TapsWithTheLeftButtonHeldDoNotReachTheWindow) {
    KeyLog log;
    initialize(Window, 1);
    mouseInitialize(Window, 2);
    const auto waitForPosted = [](const auto& matches) {
        return keys_test::waitFor([&] {
            std::lock_guard lock(hook_test::postedMutex);
            return std::any_of(hook_test::posted.begin(), hook_test::posted.end(), matches);
        });
    };
    // Held over the window, as over a selection (a click on the desktop would focus the window
    // manager).
    keys_test::run("xdotool mousemove --window " + std::to_string(log.id()) +
                   " 50 50 mousedown 1 key a");
    // The press of A came after the button's: the library has taken the keys by now.
    ASSERT_TRUE(waitForPosted([](const hook_test::Posted& message) {
        return message.wParam == 'A' && !message.released();
    }));
    keys_test::run("xdotool key 2 shift+k mouseup 1");
    ASSERT_TRUE(waitForPosted([](const hook_test::Posted& message) {
        return message.message == windows::hook::MouseEventMessage;
    }));
    releaseTyping();
    waitForTheKeyboard();
    keys_test::run("xdotool type x2");
    EXPECT_EQ(log.take(), "ax2");
    const std::vector<hook_test::Posted> posted = hook_test::takePosted();
    for (const unsigned key : {unsigned{'2'}, unsigned{'K'}}) {
        EXPECT_TRUE(std::any_of(posted.begin(), posted.end(),
                                [&](const hook_test::Posted& message) {
                                    return message.wParam == key && !message.released() &&
                                           message.isDown(0x01);
                                }))
            << "the tap of " << static_cast<char>(key) << " was posted with the button down";
    }
    deinitialize();
    mouseDeinitialize();
}

TEST_F(GestureGrabsTest, TheGrabsEndWithAProcessThatIsKilled) {
    KeyLog log;
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    if (child == 0) {
        close(ready[0]);
        initialize(Window, 1);
        const char done = 1;
        [[maybe_unused]] const ssize_t written = write(ready[1], &done, 1);
        pause();
        _exit(0);
    }
    close(ready[1]);
    char done = 0;
    ASSERT_EQ(read(ready[0], &done, 1), 1);
    close(ready[0]);
    // The child plays a program that never ends its operation: its hold, begun at the Ctrl
    // release, ends with it too.
    keys_test::run("xdotool key ctrl+k");
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_EQ(log.take(), "<");
    keys_test::run("xdotool key ctrl+k");
    EXPECT_EQ(log.take(), "<K");
}

}  // namespace
