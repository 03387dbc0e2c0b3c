#include "os/ErrorCodes.h"
#include "os/x11/ThreadInputState.h"
#include "os/x11/X11Platform.h"

#include <atomic>
#include <chrono>
#include <dlfcn.h>
#include <poll.h>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

std::intptr_t quietProcedure(os::WindowHandle, unsigned int, std::uintptr_t, std::intptr_t) {
    return 0;
}

bool readable(int descriptor) {
    pollfd check{descriptor, POLLIN, 0};
    return ::poll(&check, 1, 0) == 1;
}

class X11WindowsQueueTest : public ::testing::Test {
protected:
    X11WindowsQueueTest() {
        os::WindowClass windowClass;
        windowClass.procedure = &quietProcedure;
        windowClass.className = "PastrixQueueTestClass";
        EXPECT_TRUE(windows.registerClass(windowClass));
    }

    // A window that lives only inside the process, owned by the calling thread.
    os::WindowHandle makeWindow() {
        os::WindowCreation creation;
        creation.className = "PastrixQueueTestClass";
        return windows.createWindow(creation);
    }

    std::vector<os::Message> takeAll() {
        std::vector<os::Message> taken;
        os::Message message;
        while (windows.peekMessage(message, true)) {
            taken.push_back(message);
        }
        return taken;
    }

    os::x11::X11Platform platform;
    os::x11::X11Windows& windows = platform.x11Windows();
};

TEST_F(X11WindowsQueueTest, MessagesPostedFromOtherThreadsReachTheOwnerInTheOrderEachSentThem) {
    const os::WindowHandle window = makeWindow();
    ASSERT_NE(window, 0U);
    constexpr int PerSender = 300;
    std::atomic<bool> posterSawOwnQueueEmpty{true};
    auto sender = [&](std::uintptr_t senderId) {
        for (int i = 0; i < PerSender; ++i) {
            ASSERT_TRUE(windows.postMessage(window, os::WmApp + 1, senderId, i));
        }
        os::Message message;
        if (windows.peekMessage(message, false)) {
            posterSawOwnQueueEmpty = false;
        }
    };
    std::thread first(sender, 1);
    std::thread second(sender, 2);
    first.join();
    second.join();

    const std::vector<os::Message> taken = takeAll();
    ASSERT_EQ(taken.size(), 2U * PerSender);
    std::intptr_t next[3] = {0, 0, 0};
    for (const os::Message& message : taken) {
        EXPECT_EQ(message.window, window);
        EXPECT_EQ(message.message, os::WmApp + 1);
        ASSERT_TRUE(message.wParam == 1 || message.wParam == 2);
        EXPECT_EQ(message.lParam, next[message.wParam]++);
    }
    EXPECT_TRUE(posterSawOwnQueueEmpty) << "a message landed in the sender's own queue";
}

TEST_F(X11WindowsQueueTest, AWindowMadeOnAnotherThreadGetsItsMessagesThere) {
    std::atomic<os::WindowHandle> window{0};
    std::atomic<bool> posted{false};
    std::vector<os::Message> seenByOwner;
    std::thread owner([&] {
        window = makeWindow();
        while (!posted) {
            std::this_thread::sleep_for(1ms);
        }
        seenByOwner = takeAll();
        windows.destroyWindow(window);
    });
    while (window == 0) {
        std::this_thread::sleep_for(1ms);
    }
    ASSERT_TRUE(windows.postMessage(window, os::wm::User, 7, 8));
    ASSERT_TRUE(windows.postMessage(window, os::wm::User + 1, 9, 10));
    posted = true;
    owner.join();

    EXPECT_TRUE(takeAll().empty());
    ASSERT_EQ(seenByOwner.size(), 2U);
    EXPECT_EQ(seenByOwner[0].message, os::wm::User);
    EXPECT_EQ(seenByOwner[0].wParam, 7U);
    EXPECT_EQ(seenByOwner[1].message, os::wm::User + 1);
    EXPECT_EQ(seenByOwner[1].lParam, 10);
}

TEST_F(X11WindowsQueueTest, PeekingWithoutRemovalLeavesTheMessageAndQuitComesInOrder) {
    const os::WindowHandle window = makeWindow();
    ASSERT_TRUE(windows.postMessage(window, os::wm::User, 1, 0));
    windows.postQuitMessage(3);
    os::Message message;
    ASSERT_TRUE(windows.peekMessage(message, false));
    EXPECT_EQ(message.message, os::wm::User);
    const std::vector<os::Message> taken = takeAll();
    ASSERT_EQ(taken.size(), 2U);
    EXPECT_EQ(taken[0].message, os::wm::User);
    EXPECT_EQ(taken[1].message, os::wm::Quit);
    EXPECT_EQ(taken[1].window, 0U);
    EXPECT_EQ(taken[1].wParam, 3U);
    EXPECT_FALSE(windows.peekMessage(message, false));
}

TEST_F(X11WindowsQueueTest, AGoneWindowTakesItsQueuedMessagesWithItAndRefusesNewOnes) {
    const os::WindowHandle kept = makeWindow();
    const os::WindowHandle gone = makeWindow();
    ASSERT_TRUE(windows.postMessage(gone, os::wm::User, 1, 0));
    ASSERT_TRUE(windows.postMessage(kept, os::wm::User, 2, 0));
    ASSERT_TRUE(windows.destroyWindow(gone));

    EXPECT_FALSE(windows.isWindow(gone));
    EXPECT_FALSE(windows.postMessage(gone, os::wm::User, 3, 0));
    EXPECT_TRUE(windows.isWindow(kept));
    os::errors().setLastError(0);
    EXPECT_FALSE(windows.postMessage(gone, os::wm::User, 3, 0));
    EXPECT_EQ(os::errors().lastError(), os::error::InvalidWindowHandle);
    const std::vector<os::Message> taken = takeAll();
    ASSERT_EQ(taken.size(), 1U);
    EXPECT_EQ(taken[0].window, kept);
}

TEST_F(X11WindowsQueueTest, AWaitingThreadWakesForAMessageAndOtherwiseWaitsOutItsTime) {
    const os::WindowHandle window = makeWindow();
    const int descriptor = windows.messageFileDescriptor();
    ASSERT_GE(descriptor, 0);
    EXPECT_FALSE(readable(descriptor));

    const auto before = std::chrono::steady_clock::now();
    EXPECT_FALSE(windows.waitMessage(60ms));
    EXPECT_GE(std::chrono::steady_clock::now() - before, 60ms);

    std::thread poster([&] {
        std::this_thread::sleep_for(30ms);
        windows.postMessage(window, os::wm::User, 0, 0);
    });
    // A generous deadline: the wait must end with the message, not with the time.
    EXPECT_TRUE(windows.waitMessage(10s));
    poster.join();
    EXPECT_TRUE(readable(descriptor));
    os::Message message;
    ASSERT_TRUE(windows.peekMessage(message, true));
    EXPECT_FALSE(readable(descriptor));
}

TEST_F(X11WindowsQueueTest, InputMessagesCarryTheirKeyStateToTheThreadThatTakesThem) {
    // The hook library finds the program's entry the way it does at run time.
    using PostInput =
        int (*)(std::uintptr_t, unsigned int, std::uintptr_t, std::intptr_t, const std::uint8_t*);
    auto post = reinterpret_cast<PostInput>(::dlsym(RTLD_DEFAULT, "PastrixPostInputMessage"));
    ASSERT_NE(post, nullptr);
    {
        // Another look at the desktop, made and gone, leaves the program's queues in charge.
        os::x11::X11Windows anotherLook(os::errors(), "");
    }

    std::thread handler([&] {
        const os::WindowHandle window = makeWindow();
        os::KeyStateTable first{};
        first[os::vk::Control] = 0x80;
        first[0x43] = 0x80;
        os::KeyStateTable second{};
        second[os::vk::Capital] = 0x01;
        EXPECT_EQ(post(window, os::WmApp + 1, 0x43, 0x002E0001, first.data()), 1);
        EXPECT_EQ(post(window, os::WmApp + 1, 0x43, static_cast<std::intptr_t>(0xC02E0001),
                       second.data()),
                  1);
        EXPECT_TRUE(windows.postMessage(window, os::wm::User, 0, 0));

        os::Message message;
        ASSERT_TRUE(windows.peekMessage(message, false));
        EXPECT_EQ(os::x11::ThreadInputState::current(), nullptr) << "only taking sets the state";
        ASSERT_TRUE(windows.peekMessage(message, true));
        EXPECT_EQ(message.wParam, 0x43U);
        ASSERT_NE(os::x11::ThreadInputState::current(), nullptr);
        EXPECT_EQ(*os::x11::ThreadInputState::current(), first);
        ASSERT_TRUE(windows.peekMessage(message, true));
        EXPECT_EQ(*os::x11::ThreadInputState::current(), second);
        // A plain message leaves the state of the last input event.
        ASSERT_TRUE(windows.peekMessage(message, true));
        EXPECT_EQ(message.message, os::wm::User);
        EXPECT_EQ(*os::x11::ThreadInputState::current(), second);

        ASSERT_TRUE(windows.destroyWindow(window));
        EXPECT_EQ(post(window, os::WmApp + 1, 0x43, 0, first.data()), 0);
    });
    handler.join();
}

TEST_F(X11WindowsQueueTest, ClassesAreRegisteredOnceAndWindowsNeedARegisteredClass) {
    os::WindowClass again;
    again.className = "PastrixQueueTestClass";
    EXPECT_FALSE(windows.registerClass(again));
    EXPECT_EQ(os::errors().lastError(), os::error::ClassAlreadyExists);

    os::WindowCreation creation;
    creation.className = "PastrixNoSuchClass";
    EXPECT_EQ(windows.createWindow(creation), 0U);
    EXPECT_EQ(os::errors().lastError(), os::error::ClassDoesNotExist);

    EXPECT_TRUE(windows.unregisterClass("PastrixQueueTestClass", 0));
    EXPECT_FALSE(windows.unregisterClass("PastrixQueueTestClass", 0));
    EXPECT_EQ(os::errors().lastError(), os::error::ClassDoesNotExist);
}

TEST_F(X11WindowsQueueTest, TitlesOfTheProgramsOwnWindowsAreCutWithoutSplittingCharacters) {
    os::WindowCreation creation;
    creation.className = "PastrixQueueTestClass";
    creation.title =
        "Gr\xC3\xBC\xC3\x9F"
        "e";  // "Grüße"
    const os::WindowHandle window = windows.createWindow(creation);
    std::string title;
    EXPECT_EQ(windows.getWindowText(window, title, 1024), 7);
    EXPECT_EQ(title, creation.title);
    // Room for three bytes would end inside the third letter: it is left out whole.
    EXPECT_EQ(windows.getWindowText(window, title, 4), 2);
    EXPECT_EQ(title, "Gr");
    EXPECT_EQ(windows.getWindowText(window, title, 5), 4);
    EXPECT_EQ(title, "Gr\xC3\xBC");

    creation.title.clear();
    const os::WindowHandle untitled = windows.createWindow(creation);
    os::errors().setLastError(os::error::AccessDenied);
    EXPECT_EQ(windows.getWindowText(untitled, title, 1024), 0);
    EXPECT_EQ(os::errors().lastError(), 0);

    ASSERT_TRUE(windows.destroyWindow(untitled));
    EXPECT_EQ(windows.getWindowText(untitled, title, 1024), 0);
    EXPECT_EQ(os::errors().lastError(), os::error::InvalidWindowHandle);
}

}  // namespace

namespace {

std::atomic<int> paintsSeen{0};

std::intptr_t countingProcedure(os::WindowHandle window, unsigned int message,
                                std::uintptr_t wParam, std::intptr_t lParam) {
    if (message == os::wm::Paint) {
        ++paintsSeen;
    }
    return os::windows().defWindowProc(window, message, wParam, lParam);
}

TEST(X11PopupTest, AShownPopUpIsPaintedOnceWhenTheServerExposesIt) {
    os::x11::X11Platform platform;
    os::x11::X11Windows& windows = platform.x11Windows();
    os::WindowClass windowClass;
    windowClass.procedure = &countingProcedure;
    windowClass.background = 0xE7FFFF;
    windowClass.className = "PastrixPopUpTestClass";
    ASSERT_TRUE(windows.registerClass(windowClass));
    os::WindowCreation creation;
    creation.className = windowClass.className;
    creation.style = os::ws::Popup | os::ws::Border;
    creation.x = 40;
    creation.y = 50;
    creation.width = 120;
    creation.height = 30;
    const os::WindowHandle window = windows.createWindow(creation);
    ASSERT_NE(window, 0U);
    EXPECT_NE(windows.xConnectionFileDescriptor(), -1);
    // Hidden: nothing to paint.
    EXPECT_FALSE(windows.waitMessage(100ms));

    windows.showWindow(window, os::sw::ShowNoActivate);
    ASSERT_TRUE(windows.waitMessage(10s));
    os::Message message;
    ASSERT_TRUE(windows.peekMessage(message, true));
    EXPECT_EQ(message.window, window);
    EXPECT_EQ(message.message, os::wm::Paint);
    windows.dispatchMessage(message);
    EXPECT_EQ(paintsSeen, 1);
    EXPECT_FALSE(windows.waitMessage(100ms)) << "painted once is enough";

    os::Rect rect;
    ASSERT_TRUE(windows.getWindowRect(window, rect));
    EXPECT_EQ(rect.left, 40);
    EXPECT_EQ(rect.right, 160);
    EXPECT_NE(windows.getWindowStyle(window) & os::ws::Visible, 0U);
    ASSERT_TRUE(windows.destroyWindow(window));
    EXPECT_EQ(windows.xConnectionFileDescriptor(), -1) << "the thread's connection stays open";
}

}  // namespace
