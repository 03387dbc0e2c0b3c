#include "os/ErrorCodes.h"
#include "os/Hooks.h"
#include "os/Keyboard.h"
#include "os/Port.h"
#include "support/PlatformText.h"
#include "support/ProgramDirectory.h"
#include "support/SimDesktopTest.h"
#include "windows/hook/HookException.h"
#include "windows/hook/HookLibrary.h"
#include "windows/hook/KeyboardHook.h"
#include "windows/hook/MouseHook.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using testing::ElementsAreArray;
using windows::hook::Hook;
using windows::hook::HookException;
using windows::hook::KeyboardHook;
using windows::hook::KeyEventMessage;
using windows::hook::MouseEventMessage;
using windows::hook::MouseHook;

const std::string Library = testing_support::libraryFile("clipboard");

struct Posted {
    unsigned int message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
    bool operator==(const Posted&) const = default;
};

void PrintTo(const Posted& posted, std::ostream* out) {
    *out << std::hex << "{0x" << posted.message << ", 0x" << posted.wParam << ", 0x"
         << posted.lParam << "}";
}

// The key data a keyboard hook reports: repeat count 1, the scan code, the extended flag,
// Alt, the key's previous state and the release flag.
Posted key(int virtualKey, unsigned scanCode, bool released, bool wasDown, bool extended = false,
           bool alt = false) {
    std::uint32_t data = windows::hook::keydata::make(scanCode, extended, released) | 1U;
    data |= wasDown ? 1U << 30 : 0U;
    data |= alt ? 1U << 29 : 0U;
    return Posted{KeyEventMessage, static_cast<std::uintptr_t>(virtualKey),
                  static_cast<std::intptr_t>(data)};
}

const Posted leftButtonReleased{MouseEventMessage, 0, 0};

class HookTest : public testing_support::SimDesktopAssertionTest {
protected:
    // Every message waiting for the test's thread, oldest first.
    std::vector<Posted> posted() {
        std::vector<Posted> messages;
        while (const auto message = desktop.windows.takeMessage()) {
            messages.push_back(Posted{message->message, message->wParam, message->lParam});
        }
        return messages;
    }

    std::size_t installed(int type) const { return desktop.hooks.installedHooks(type); }

    const os::WindowHandle window = desktop.windows.addWindow("System");

    // Both kinds of hook, for the rules they share.
    struct Kind {
        const char* name;
        const char* isInitiated;
        int type;
        std::function<std::unique_ptr<Hook>(const std::string&)> make;
    };
    const std::vector<Kind> kinds{
        {"keyboard", windows::hook::entry::KeyboardIsInitiated, os::wh::Keyboard,
         [](const std::string& file) { return std::make_unique<KeyboardHook>(file); }},
        {"mouse", windows::hook::entry::MouseIsInitiated, os::wh::Mouse,
         [](const std::string& file) { return std::make_unique<MouseHook>(file); }},
    };
};

TEST_F(HookTest, EveryKeyAndLeftButtonReleaseReachesTheStartedWindowInOrder) {
    KeyboardHook keyboard(Library);
    MouseHook mouse(Library);
    EXPECT_NE(keyboard.start(window), 0);
    EXPECT_NE(mouse.start(window), 0);
    EXPECT_EQ(installed(os::wh::Keyboard), 1U);
    EXPECT_EQ(installed(os::wh::Mouse), 1U);

    desktop.input.userKey(os::vk::Control, true);
    desktop.input.userKey('K', true);
    desktop.input.userKey('K', true);  // held: the key repeats
    desktop.input.userKey('K', false);
    desktop.input.userLeftButton(true);
    desktop.input.userLeftButton(false);
    desktop.input.userKey(os::vk::Control, false);
    // The program's own keys come back as well.
    desktop.input.keybdEvent(os::vk::Control, 0x1D, 0, 0);
    desktop.input.keybdEvent('V', 0x2F, 0, 0);
    desktop.input.keybdEvent('V', 0x2F, os::keyeventf::KeyUp, 0);
    desktop.input.keybdEvent(os::vk::Control, 0x1D, os::keyeventf::KeyUp, 0);
    desktop.input.keybdEvent(os::vk::RMenu, 0x38, os::keyeventf::ExtendedKey, 0);
    desktop.input.keybdEvent(os::vk::RMenu, 0x38, os::keyeventf::ExtendedKey | os::keyeventf::KeyUp,
                             0);

    const std::vector<Posted> expected{
        // The user's keys carry the scan codes of the layout.
        key(os::vk::Control, 0x1D, false, false),
        key('K', 0x25, false, false),
        key('K', 0x25, false, true),
        key('K', 0x25, true, true),
        leftButtonReleased,
        key(os::vk::Control, 0x1D, true, true),
        key(os::vk::Control, 0x1D, false, false),
        key('V', 0x2F, false, false),
        key('V', 0x2F, true, true),
        key(os::vk::Control, 0x1D, true, true),
        key(os::vk::RMenu, 0x38, false, false, true, true),
        key(os::vk::RMenu, 0x38, true, true, true, false),
    };
    EXPECT_THAT(posted(), ElementsAreArray(expected));

    keyboard.stop();
    mouse.stop();
    EXPECT_EQ(installed(os::wh::Keyboard), 0U);
    EXPECT_EQ(installed(os::wh::Mouse), 0U);
    desktop.input.userKey('A', true);
    desktop.input.userLeftButton(true);
    desktop.input.userLeftButton(false);
    EXPECT_TRUE(posted().empty());
    EXPECT_TRUE(assertions.reports.empty());
}

TEST_F(HookTest, AHookOfAKindThatRunsAlreadyCannotBeBuiltAgain) {
    // A copy of the library elsewhere stands for another program that loaded its own.
    std::filesystem::create_directories("other");
    std::filesystem::copy_file(testing_support::programDirectory() / Library, "other/" + Library);
    const std::string before =
        "An error occured when trying to initialize the hook.\nMost likely the cause is that "
        "another hook is already running.\nCheck function: ";
    const std::string after =
        "\n\nTo solve this, please\n1. check if the program is running already. If it is "
        "running, you should see it in the task bar or in the system tray.\n2. close all running "
        "applications and try to start this program again.\n3. if step 2 did not solve the "
        "problem, please try to restart your computer and run this program again.\n";
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        const std::string expected = before + kind.isInitiated + after;
        auto first = kind.make(Library);
        auto idle = kind.make(Library);  // built while nothing runs: fine
        first->start(window);
        for (const std::string& file : {Library, "./other/" + Library}) {
            try {
                kind.make(file);
                ADD_FAILURE() << "built a second " << kind.name << " hook from " << file;
            } catch (const HookException& e) {
                EXPECT_EQ(e.getMessage(), expected);
            }
        }
        // The other kind is not affected.
        const Kind& other = kind.type == os::wh::Keyboard ? kinds[1] : kinds[0];
        EXPECT_NO_THROW(other.make(Library));
        first->stop();
        EXPECT_NO_THROW(kind.make("./other/" + Library));
    }
}

TEST_F(HookTest, StartingARunningHookOrStoppingAStoppedOneFails) {
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        assertions.reports.clear();
        auto hook = kind.make(Library);
        hook->start(window);
        try {
            hook->start(window);
            ADD_FAILURE() << "started twice";
        } catch (const HookException& e) {
            EXPECT_EQ(e.getMessage(), "The hook can't be started when it's already running.");
        }
        EXPECT_EQ(installed(kind.type), 1U);
        hook->stop();
        EXPECT_TRUE(assertions.reports.empty());
        try {
            hook->stop();
            ADD_FAILURE() << "stopped twice";
        } catch (const HookException& e) {
            EXPECT_EQ(e.getMessage(),
                      "Error removing the hook. System error message: " +
                          testing_support::systemText(os::error::InvalidHookHandle));
        }
        EXPECT_TRUE(assertions.reported("_hook != 0"));
        EXPECT_EQ(assertions.reports.size(), 1U);
        // Stopped means stopped: the hook starts again.
        hook->start(window);
        EXPECT_TRUE(hook->isRunning());
    }
}

TEST_F(HookTest, AHookTheDesktopRefusesDoesNotRun) {
    desktop.hooks.failInstallations(os::error::AccessDenied);
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        auto hook = kind.make(Library);
        try {
            hook->start(window);
            ADD_FAILURE() << "started";
        } catch (const HookException& e) {
            EXPECT_EQ(e.getMessage(), "Error creating the hook. System error message: " +
                                          testing_support::systemText(os::error::AccessDenied));
        }
        EXPECT_FALSE(hook->isRunning());
        // Nothing was set up, so another program could start this kind of hook.
        EXPECT_NO_THROW(kind.make(Library));
    }
    desktop.hooks.failInstallations(os::error::Success);
    MouseHook mouse(Library);
    mouse.start(window);
    EXPECT_TRUE(mouse.isRunning());
}

TEST_F(HookTest, DestroyingARunningHookStopsIt) {
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        kind.make(Library)->start(window);
        EXPECT_EQ(installed(kind.type), 0U);
        EXPECT_NO_THROW(kind.make(Library)) << "the library still counts the hook as set up";
    }
    EXPECT_TRUE(assertions.reports.empty());
}

TEST_F(HookTest, AFailedRemovalAtDestructionPassesOnAndKeepsTheLibraryServingTheHook) {
    std::string thrown;
    try {
        KeyboardHook keyboard(Library);
        keyboard.start(window);
        desktop.hooks.failRemovals(os::error::AccessDenied);
    } catch (const HookException& e) {
        thrown = e.getMessage();
    }
    EXPECT_EQ(thrown, "Error removing the hook. System error message: " +
                          testing_support::systemText(os::error::AccessDenied));
    EXPECT_EQ(installed(os::wh::Keyboard), 1U);
    // The system still calls the procedure: its library must still be there.
    desktop.input.userKey('A', true);
    EXPECT_THAT(posted(), ElementsAreArray({key('A', 0x1E, false, false)}));
}

TEST_F(HookTest, AFailedRemovalWhileAnotherExceptionUnwindsIsReportedInstead) {
    bool caught = false;
    try {
        MouseHook mouse(Library);
        mouse.start(window);
        desktop.hooks.failRemovals(os::error::AccessDenied);
        throw std::runtime_error("the first failure");
    } catch (const std::runtime_error& e) {
        caught = std::string(e.what()) == "the first failure";
    }
    EXPECT_TRUE(caught);
    EXPECT_TRUE(assertions.reported("Error removing the hook. System error message: " +
                                    testing_support::systemText(os::error::AccessDenied)));
    EXPECT_EQ(installed(os::wh::Mouse), 1U);
    desktop.input.userLeftButton(true);
    desktop.input.userLeftButton(false);
    EXPECT_THAT(posted(), ElementsAreArray({leftButtonReleased}));
}

TEST_F(HookTest, KeysMadeOnAnotherThreadArriveWhileTheHookIsStopped) {
    KeyboardHook keyboard(Library);
    keyboard.start(window);
    constexpr int Keys = 400;
    std::thread typist([&] {
        for (int i = 0; i < Keys; ++i) {
            desktop.input.keybdEvent('A' + i % 26, 0x1E, i % 2 == 0 ? 0 : os::keyeventf::KeyUp, 0);
        }
    });
    std::this_thread::yield();
    keyboard.stop();
    typist.join();
    const std::vector<Posted> messages = posted();
    EXPECT_LE(messages.size(), static_cast<std::size_t>(Keys));
    for (std::size_t i = 0; i < messages.size(); ++i) {
        // Whatever arrived came in the order typed, none lost before the stop.
        EXPECT_EQ(messages[i].message, KeyEventMessage);
        EXPECT_EQ(messages[i].wParam, static_cast<std::uintptr_t>('A' + i % 26));
    }
    desktop.input.userKey('B', true);
    EXPECT_TRUE(posted().empty());
}

}  // namespace
