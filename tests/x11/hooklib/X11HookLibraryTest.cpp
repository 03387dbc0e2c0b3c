#include "KeysTestSupport.h"
#include "hooklib/PostedMessages.h"
#include "os/posix/PosixErrors.h"
#include "os/x11/X11Input.h"
#include "os/x11/X11Keyboard.h"
#include "windows/hook/HookLibrary.h"

#include <algorithm>
#include <array>
#include <csignal>
#include <cstdint>
#include <dlfcn.h>
#include <mutex>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

namespace {

using windows::hook::KeyEventMessage;
using windows::hook::MouseEventMessage;
using namespace hook_test;

// The library's entries.
struct Library {
    Library() {
        handle = dlopen(PASTRIX_PROGRAM_DIR "/clipboard.so", RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            ADD_FAILURE() << dlerror();
            return;
        }
        keyboardIsInitiated = entry<windows::hook::IsInitiatedFunction>("keyboardIsInitiated");
        mouseIsInitiated = entry<windows::hook::IsInitiatedFunction>("mouseIsInitiated");
        keyboardInitializer = entry<windows::hook::InitializerFunction>("keyboardInitializer");
        mouseInitializer = entry<windows::hook::InitializerFunction>("mouseInitializer");
        keyboardDeinitializer =
            entry<windows::hook::DeinitializerFunction>("keyboardDeinitializer");
        mouseDeinitializer = entry<windows::hook::DeinitializerFunction>("mouseDeinitializer");
        getAttachThreadInputId =
            entry<windows::hook::GetAttachThreadInputIdFunction>("getAttachThreadInputId");
        setAttachThreadInputId =
            entry<windows::hook::SetAttachThreadInputIdFunction>("setAttachThreadInputId");
    }

    ~Library() {
        if (handle != nullptr) {
            dlclose(handle);
        }
    }

    template <typename Function>
    Function entry(const char* name) {
        auto* address = reinterpret_cast<Function>(dlsym(handle, name));
        EXPECT_NE(address, nullptr) << name;
        return address;
    }

    void* handle = nullptr;
    windows::hook::IsInitiatedFunction keyboardIsInitiated = nullptr;
    windows::hook::IsInitiatedFunction mouseIsInitiated = nullptr;
    windows::hook::InitializerFunction keyboardInitializer = nullptr;
    windows::hook::InitializerFunction mouseInitializer = nullptr;
    windows::hook::DeinitializerFunction keyboardDeinitializer = nullptr;
    windows::hook::DeinitializerFunction mouseDeinitializer = nullptr;
    windows::hook::GetAttachThreadInputIdFunction getAttachThreadInputId = nullptr;
    windows::hook::SetAttachThreadInputIdFunction setAttachThreadInputId = nullptr;
};

constexpr std::uintptr_t Window = 0x4711;

class X11HookLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(library.handle, nullptr);
        keys_test::run("setxkbmap us");
        takePosted();
    }

    // The key messages posted until `count` arrived or the time is up.
    std::vector<Posted> keyMessages(std::size_t count) {
        keys_test::waitFor([&] { return postedCount() >= count; });
        return takePosted();
    }

    Library library;
};

TEST_F(X11HookLibraryTest, PostsTypedKeysWithTheirKeyDataAndTheKeyStateAtEachEvent) {
    keys_test::Editor editor;
    EXPECT_EQ(library.keyboardInitializer(Window, 1), 1);
    EXPECT_EQ(library.mouseInitializer(Window, 2), 1);
    EXPECT_EQ(library.keyboardIsInitiated(), 1);

    keys_test::run("xdotool type --delay 30 aB");
    const std::vector<Posted> typed = keyMessages(6);
    ASSERT_EQ(typed.size(), 6U);
    struct Expected {
        unsigned key;
        bool released;
        unsigned scanCode;
    };
    // xdotool lets go of Shift before the B.
    const Expected expected[] = {{'A', false, 0x1E}, {'A', true, 0x1E},  {0x10, false, 0x2A},
                                 {'B', false, 0x30}, {0x10, true, 0x2A}, {'B', true, 0x30}};
    for (std::size_t i = 0; i < typed.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(typed[i].window, Window);
        EXPECT_EQ(typed[i].message, KeyEventMessage);
        EXPECT_EQ(typed[i].wParam, expected[i].key);
        EXPECT_EQ(typed[i].released(), expected[i].released);
        EXPECT_EQ(typed[i].wasDown(), expected[i].released);
        EXPECT_EQ(typed[i].scanCode(), expected[i].scanCode);
        EXPECT_FALSE(typed[i].extended());
        // The state is the one after the event, as while a key message is handled.
        EXPECT_EQ(typed[i].isDown(expected[i].key), !expected[i].released);
    }
    EXPECT_FALSE(typed[0].isDown(0x10));
    EXPECT_TRUE(typed[3].isDown(0x10));
    EXPECT_TRUE(typed[3].isDown(0xA0));
    EXPECT_FALSE(typed[3].isDown(0xA1));
    EXPECT_FALSE(typed[4].isDown(0x10));
    EXPECT_FALSE(typed[4].isDown(0xA0));

    // The right Ctrl key is Ctrl, extended; the state tells the side. (xdotool presses the
    // left one with it.)
    keys_test::run("xdotool key Control_R");
    const std::vector<Posted> control = keyMessages(4);
    const auto right = std::find_if(control.begin(), control.end(), [](const Posted& message) {
        return message.extended() && !message.released();
    });
    ASSERT_NE(right, control.end());
    EXPECT_EQ(right->wParam, 0x11U);
    EXPECT_EQ(right->scanCode(), 0x1DU);
    EXPECT_TRUE(right->isDown(0xA3));
    EXPECT_TRUE(right->isDown(0x11));
    EXPECT_FALSE(control.back().isDown(0x11));
    EXPECT_TRUE(control.back().released());

    // Only the release of the left button is posted, with the button up.
    keys_test::run("xdotool mousemove 300 300 click 1 click 3");
    const std::vector<Posted> clicks = keyMessages(1);
    ASSERT_EQ(clicks.size(), 1U);
    EXPECT_EQ(clicks[0].message, MouseEventMessage);
    EXPECT_EQ(clicks[0].window, Window);
    EXPECT_FALSE(clicks[0].isDown(0x01));

    library.keyboardDeinitializer();
    EXPECT_EQ(library.keyboardIsInitiated(), 0);
    EXPECT_EQ(library.mouseIsInitiated(), 1);
    // With only the mouse watched, keys are not posted.
    keys_test::run("xdotool key x click 1");
    const std::vector<Posted> mouseOnly = keyMessages(1);
    ASSERT_EQ(mouseOnly.size(), 1U);
    EXPECT_EQ(mouseOnly[0].message, MouseEventMessage);
    library.mouseDeinitializer();
    EXPECT_EQ(library.mouseIsInitiated(), 0);
}

TEST_F(X11HookLibraryTest, CapsLockStateFollowsTheKeyboard) {
    EXPECT_EQ(library.keyboardInitializer(Window, 1), 1);
    // The state of Caps Lock when the A went down.
    const auto capsLockAtA = [&] {
        keys_test::run("xdotool key Caps_Lock key a");
        keys_test::waitFor([&] {
            std::lock_guard lock(postedMutex);
            return !posted.empty() && posted.back().wParam == 'A' && posted.back().released();
        });
        const std::vector<Posted> typed = takePosted();
        const auto press = std::find_if(typed.begin(), typed.end(), [](const Posted& message) {
            return message.wParam == 'A' && !message.released();
        });
        EXPECT_NE(press, typed.end());
        return press != typed.end() && (press->state[0x14] & 0x01) != 0;
    };
    EXPECT_TRUE(capsLockAtA());
    EXPECT_FALSE(capsLockAtA());
    library.keyboardDeinitializer();
}

TEST_F(X11HookLibraryTest, VirtualKeysFollowTheLayoutGroup) {
    keys_test::run("setxkbmap -layout us,de -option grp:caps_toggle");
    os::posix::PosixErrors errors;
    os::x11::X11Keyboard keyboard(errors);
    os::x11::X11Input input(keyboard);
    EXPECT_EQ(library.keyboardInitializer(Window, 1), 1);
    // The key right of T, as the United States group and then as the German one sees it.
    const auto keyRightOfT = [&] {
        takePosted();
        input.keybdEvent(0, 0x15, 0, 0);
        input.flush();
        keys_test::waitFor([] { return postedCount() >= 1; });
        const std::vector<Posted> typed = takePosted();
        input.keybdEvent(0, 0x15, os::keyeventf::KeyUp, 0);
        input.flush();
        return typed.empty() ? 0U : static_cast<unsigned>(typed.front().wParam);
    };
    EXPECT_EQ(keyRightOfT(), unsigned{'Y'});
    input.keybdEvent(0x14, 0x3A, 0, 0);
    input.keybdEvent(0x14, 0x3A, os::keyeventf::KeyUp, 0);
    input.flush();
    EXPECT_TRUE(keys_test::waitFor([&] { return keyRightOfT() == 'Z'; }));
    library.keyboardDeinitializer();
}

// A second process with the library, which answers the questions the test writes to it.
class OtherProcess {
public:
    explicit OtherProcess(Library& library) {
        int questions[2];
        int answers[2];
        EXPECT_EQ(pipe(questions), 0);
        EXPECT_EQ(pipe(answers), 0);
        pid_ = fork();
        if (pid_ == 0) {
            close(questions[1]);
            close(answers[0]);
            serve(library, questions[0], answers[1]);
            _exit(0);
        }
        close(questions[0]);
        close(answers[1]);
        ask_ = questions[1];
        answer_ = answers[0];
    }

    ~OtherProcess() {
        close(ask_);
        close(answer_);
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }

    // 'k', 'm': is the keyboard, the mouse initiated; 't': the registered thread; 'K', 'M':
    // set up the keyboard, the mouse; 'T': register thread 77.
    std::int32_t ask(char question) {
        std::int32_t result = -1;
        EXPECT_EQ(write(ask_, &question, 1), 1);
        EXPECT_EQ(read(answer_, &result, sizeof result), static_cast<ssize_t>(sizeof result));
        return result;
    }

    // Ends the process as a crash would.
    void kill9() {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    static void serve(Library& library, int questions, int answers) {
        char question = 0;
        while (read(questions, &question, 1) == 1) {
            std::int32_t result = 0;
            switch (question) {
                case 'k':
                    result = library.keyboardIsInitiated();
                    break;
                case 'm':
                    result = library.mouseIsInitiated();
                    break;
                case 't':
                    result = library.getAttachThreadInputId();
                    break;
                case 'K':
                    result = library.keyboardInitializer(Window, 1);
                    break;
                case 'M':
                    result = library.mouseInitializer(Window, 2);
                    break;
                case 'T':
                    library.setAttachThreadInputId(77);
                    break;
                default:
                    break;
            }
            if (write(answers, &result, sizeof result) != sizeof result) {
                return;
            }
        }
    }

    pid_t pid_ = -1;
    int ask_ = -1;
    int answer_ = -1;
};

TEST_F(X11HookLibraryTest, IsInitiatedAndTheThreadHoldAcrossProcessesAndEndWithTheirProcess) {
    OtherProcess other(library);
    // Started before this process holds anything, so that it inherits nothing.
    OtherProcess observer(library);
    EXPECT_EQ(other.ask('k'), 0);
    EXPECT_EQ(other.ask('t'), 0);

    EXPECT_EQ(library.keyboardInitializer(Window, 1), 1);
    EXPECT_EQ(other.ask('k'), 1);
    EXPECT_EQ(other.ask('m'), 0);
    library.keyboardDeinitializer();
    EXPECT_EQ(other.ask('k'), 0);

    // The other process sets up the mouse and registers its thread, then crashes.
    EXPECT_EQ(other.ask('M'), 1);
    EXPECT_EQ(other.ask('T'), 0);
    EXPECT_EQ(library.mouseIsInitiated(), 1);
    EXPECT_EQ(library.getAttachThreadInputId(), 77);
    // While it runs, this process can register no thread of its own.
    library.setAttachThreadInputId(5);
    EXPECT_EQ(library.getAttachThreadInputId(), 77);
    other.kill9();
    EXPECT_EQ(library.mouseIsInitiated(), 0);
    EXPECT_EQ(library.getAttachThreadInputId(), 0);

    library.setAttachThreadInputId(5);
    EXPECT_EQ(library.getAttachThreadInputId(), 5);
    EXPECT_EQ(observer.ask('t'), 5);
}

}  // namespace
