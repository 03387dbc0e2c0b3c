#include "support/SimDesktopTest.h"
#include "windows/window/ThreadedWindowX.h"
#include "windows/window/WindowExceptions.h"
#include "windows/window/WindowXImpl.h"

#include <atomic>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

namespace {

using windows::window::MessageListener;
using windows::window::ThreadedWindowX;
using windows::window::WindowX;
using windows::window::WindowXException;
using windows::window::WindowXFactory;
using windows::window::WindowXImpl;

// A window that counts the messages it handles and tells when it goes.
class CountingWindow final : public WindowXImpl, public MessageListener {
public:
    CountingWindow(std::atomic<int>& handledCount, std::atomic<bool>& deletedFlag,
                   std::atomic<int>& waitCount, std::atomic<int>& timeoutCount)
        : WindowXImpl(description(), 10, 10, 0, 0, "", 0, true),
          handled(handledCount),
          deleted(deletedFlag),
          waits(waitCount),
          timeouts(timeoutCount),
          owner(std::this_thread::get_id()) {
        registerListener(this);
    }
    ~CountingWindow() override {
        unregisterListener();
        deleted = true;
    }
    std::intptr_t handleMessage(os::WindowHandle, unsigned int, std::uintptr_t,
                                std::intptr_t) override {
        if (std::this_thread::get_id() == owner) {
            ++handled;
        }
        return 0;
    }
    bool waitMessage(std::chrono::milliseconds timeout) override {
        ++waits;
        const bool arrived = WindowXImpl::waitMessage(timeout);
        if (!arrived) {
            ++timeouts;
        }
        return arrived;
    }

private:
    static os::WindowClass description() {
        os::WindowClass windowClass;
        windowClass.className = "CountingWindow";
        return windowClass;
    }

    std::atomic<int>& handled;
    std::atomic<bool>& deleted;
    std::atomic<int>& waits;
    std::atomic<int>& timeouts;
    std::thread::id owner;
};

class CountingFactory final : public WindowXFactory {
public:
    std::unique_ptr<WindowX> create() override {
        if (failWith != nullptr) {
            throw WindowXException(failWith);
        }
        return std::make_unique<CountingWindow>(handled, deleted, waits, timeouts);
    }
    const char* failWith = nullptr;
    std::atomic<int> handled{0};
    std::atomic<bool> deleted{false};
    std::atomic<int> waits{0};
    std::atomic<int> timeouts{0};
};

using ThreadedWindowXTest = testing_support::SimDesktopAssertionTest;

// Waits for a condition that another thread makes true; gives up after a generous time.
template <typename Condition>
bool eventually(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

TEST_F(ThreadedWindowXTest, WindowIsMadeOnItsThreadAndItsMessagesPumpedThere) {
    CountingFactory factory;
    ThreadedWindowX threaded(factory, std::chrono::milliseconds(1));
    WindowX* window = threaded.getWindowX();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(desktop.windows.findWindow("CountingWindow"), window->getHandle());

    threaded.startLoop();
    for (int i = 0; i < 3; ++i) {
        desktop.windows.postMessage(window->getHandle(), os::wm::User, 0, 0);
    }
    EXPECT_TRUE(eventually([&] { return factory.handled == 3; }));
    EXPECT_FALSE(window->isVisible());  // the loop starts by hiding the window

    threaded.stop();
    threaded.join();
    EXPECT_TRUE(factory.deleted);
    EXPECT_EQ(desktop.windows.findWindow("CountingWindow"), 0U);
    EXPECT_TRUE(assertions.reports.empty());
}

TEST_F(ThreadedWindowXTest, FactoryFailureIsThrownOnTheOwnersThread) {
    CountingFactory factory;
    factory.failWith = "Error when creating a window.";
    try {
        ThreadedWindowX threaded(factory, std::chrono::milliseconds(10));
        FAIL() << "no exception";
    } catch (const WindowXException& e) {
        EXPECT_EQ(e.getMessage(), "Error when creating a window.");
    }
    EXPECT_TRUE(assertions.reports.empty());
}

TEST_F(ThreadedWindowXTest, DestroyedBeforeTheLoopStartedEndsTheThreadAndDeletesTheWindow) {
    CountingFactory factory;
    {
        ThreadedWindowX threaded(factory, std::chrono::milliseconds(10));
        desktop.windows.postMessage(threaded.getWindowX()->getHandle(), os::wm::User, 0, 0);
    }
    EXPECT_TRUE(factory.deleted);
    EXPECT_EQ(factory.handled, 0);  // the loop never ran
    EXPECT_TRUE(assertions.reports.empty());
}

// Idle, the thread waits for its next message instead of looking at its queue over and over,
// and a stop ends that wait at once rather than when the wait runs out.
TEST_F(ThreadedWindowXTest, AnIdleLoopWaitsForItsNextMessageAndAStopWakesIt) {
    CountingFactory factory;
    ThreadedWindowX threaded(factory, std::chrono::milliseconds(1));
    WindowX* window = threaded.getWindowX();
    threaded.startLoop();
    for (int i = 0; i < 3; ++i) {
        desktop.windows.postMessage(window->getHandle(), os::wm::User, 0, 0);
    }
    ASSERT_TRUE(eventually([&] { return factory.handled == 3 && factory.waits == 4; }));
    // A polling loop with a pause of 1 ms would look about a hundred times in this time.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(factory.waits, 4);

    threaded.stop();
    threaded.join();
    EXPECT_EQ(factory.timeouts, 0);
    EXPECT_EQ(factory.handled, 3);  // the message that woke the thread is not handled
    EXPECT_TRUE(factory.deleted);
    EXPECT_TRUE(assertions.reports.empty());
}

}  // namespace
