#include "KeysTestSupport.h"
#include "hooklib/PostedMessages.h"
#include "os/ScopedInstall.h"
#include "os/posix/PosixErrors.h"
#include "os/posix/PosixLibraries.h"
#include "os/x11/X11Hooks.h"
#include "windows/hook/HookException.h"
#include "windows/hook/KeyboardHook.h"
#include "windows/hook/MouseHook.h"
#include "windows/process/AttachThreadInputLibrary.h"
#include "windows/process/ProcessExceptions.h"

#include <algorithm>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

using hook_test::Posted;
using windows::hook::KeyEventMessage;

constexpr os::WindowHandle Window = 0x815;
const std::string LibraryFile = PASTRIX_PROGRAM_DIR "/clipboard.so";

// The program's own hook objects over the X11 library.
class ProgramHooksTest : public ::testing::Test {
protected:
    os::Port port() {
        os::Port pieces;
        pieces.errors = &errors;
        pieces.libraries = &libraries;
        pieces.hooks = &hooks;
        return pieces;
    }

    os::posix::PosixErrors errors;
    os::posix::PosixLibraries libraries{errors};
    os::x11::X11Hooks hooks{errors};
    os::ScopedInstall installed{port()};
};

// Whether constructing a keyboard hook in another process fails as a second copy of the
// program should.
bool otherProcessIsRefused() {
    const pid_t child = fork();
    if (child == 0) {
        try {
            windows::hook::KeyboardHook second(LibraryFile);
        } catch (const windows::hook::HookException&) {
            _exit(1);
        }
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 1;
}

TEST_F(ProgramHooksTest, StartedHooksReportTheGestureKeysWithCtrlHeld) {
    keys_test::run("setxkbmap us");
    EXPECT_FALSE(otherProcessIsRefused());
    {
        windows::hook::KeyboardHook keyboard(LibraryFile);
        windows::hook::MouseHook mouse(LibraryFile);
        keyboard.start(Window);
        mouse.start(Window);
        EXPECT_TRUE(otherProcessIsRefused());

        hook_test::takePosted();
        keys_test::run("xdotool key ctrl+k");
        keys_test::waitFor([] {
            std::lock_guard lock(hook_test::postedMutex);
            return hook_test::posted.size() >= 4 && hook_test::posted.back().wParam == 'K';
        });
        const std::vector<Posted> gesture = hook_test::takePosted();
        // xdotool may let go of Ctrl more than once; what counts is the state at each event.
        const auto press = std::find_if(gesture.begin(), gesture.end(), [](const Posted& message) {
            return message.wParam == 'K' && !message.released();
        });
        ASSERT_NE(press, gesture.end());
        EXPECT_EQ(press->message, KeyEventMessage);
        EXPECT_EQ(press->window, Window);
        EXPECT_TRUE(press->isDown(0x11));
        const auto release = std::find_if(press, gesture.end(), [](const Posted& message) {
            return message.wParam == 0x11 && message.released();
        });
        ASSERT_NE(release, gesture.end());
        EXPECT_FALSE(release->isDown(0x11));
    }
    // The hooks stopped with their objects: nothing more is posted, and the program may start
    // again.
    keys_test::run("xdotool key x");
    EXPECT_FALSE(keys_test::waitFor([] { return hook_test::postedCount() > 0; },
                                    std::chrono::milliseconds(300)));
    EXPECT_FALSE(otherProcessIsRefused());
}

// Runs the step in a process of its own, which then writes to `ready` and waits for the end of
// the pipe `running` if they are given, and ends with the step's result.
pid_t inOtherProcess(const std::function<int()>& step, const int* running = nullptr,
                     int ready = -1) {
    const pid_t child = fork();
    if (child == 0) {
        const int untilClosed = running != nullptr ? running[0] : -1;
        if (running != nullptr) {
            close(running[1]);  // else the pipe never ends
        }
        const int status = step();
        if (ready >= 0) {
            const char done = 1;
            [[maybe_unused]] const ssize_t written = write(ready, &done, 1);
        }
        if (untilClosed >= 0) {
            char ignored = 0;
            [[maybe_unused]] const ssize_t read = ::read(untilClosed, &ignored, 1);
        }
        _exit(status);
    }
    return child;
}

int exitStatus(pid_t child) {
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(ProgramHooksTest, ASecondProgramFindsTheFirstOnesThreadUntilTheFirstEnds) {
    const auto startUp = [] {
        try {
            windows::process::AttachThreadInputLibrary threads(LibraryFile);
            threads.setAttachThreadInputId(1234);
            return threads.getAttachThreadInputId() == 1234 ? 0 : 2;
        } catch (const windows::process::AttachThreadInputException&) {
            return 1;
        }
    };
    int running[2];
    int ready[2];
    ASSERT_EQ(pipe(running), 0);
    ASSERT_EQ(pipe(ready), 0);
    const pid_t first = inOtherProcess(startUp, running, ready[1]);
    char started = 0;
    ASSERT_EQ(read(ready[0], &started, 1), 1);

    EXPECT_EQ(exitStatus(inOtherProcess(startUp)), 1);
    close(running[1]);
    EXPECT_EQ(exitStatus(first), 0);
    EXPECT_EQ(exitStatus(inOtherProcess(startUp)), 0);
    for (const int end : {running[0], ready[0], ready[1]}) {
        close(end);
    }
}

}  // namespace
