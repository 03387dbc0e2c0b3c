#include "platform/Semaphore.h"
#include "platform/thread/ThreadImpl.h"
#include "support/SimDesktopTest.h"

#include <atomic>
#include <stdexcept>

#include <gtest/gtest.h>

namespace {

using platform::Semaphore;
using platform::thread::Runnable;
using platform::thread::ThreadImpl;

using ThreadImplTest = testing_support::SimDesktopAssertionTest;

class Work final : public Runnable {
public:
    void run() override {
        ranOnOtherThread = thread != nullptr && thread->isCurrentThread();
        if (fail) {
            throw std::runtime_error("broken");
        }
    }
    ThreadImpl* thread = nullptr;
    bool fail = false;
    bool ranOnOtherThread = false;
};

TEST_F(ThreadImplTest, RunsTheWorkOnItsOwnThreadAndJoinsTwice) {
    Work work;
    ThreadImpl thread(work);
    work.thread = &thread;
    thread.start();
    EXPECT_FALSE(thread.isCurrentThread());
    thread.join();
    thread.join();  // returns at once
    EXPECT_TRUE(work.ranOnOtherThread);
    EXPECT_EQ(thread.getExitCode(), 0);
    EXPECT_TRUE(assertions.reports.empty());
}

TEST_F(ThreadImplTest, WorkThatThrowsEndsWithMinusOneAndOneReport) {
    Work work;
    work.fail = true;
    ThreadImpl thread(work);
    thread.start();
    thread.join();
    EXPECT_EQ(thread.getExitCode(), -1);
    ASSERT_EQ(assertions.reports.size(), 1U);
    EXPECT_TRUE(assertions.reported("false"));
}

TEST_F(ThreadImplTest, MisuseIsReported) {
    Work work;
    {
        ThreadImpl never(work);  // a thread that never started may simply go
        never.join();
        EXPECT_TRUE(assertions.reported("_state == STARTED || _state == JOINED"));
    }
    ThreadImpl twice(work);
    twice.start();
    twice.start();
    EXPECT_TRUE(assertions.reported("_state == CREATED"));
    twice.join();
}

TEST_F(ThreadImplTest, SemaphoreCountsAndIgnoresReleasesBeyondItsMaximum) {
    Semaphore semaphore(0, 2);
    EXPECT_FALSE(semaphore.acquire(0));
    semaphore.release(2);
    semaphore.release(1);  // beyond the maximum: ignored
    EXPECT_TRUE(semaphore.acquire(0));
    EXPECT_TRUE(semaphore.acquire(0));
    EXPECT_FALSE(semaphore.acquire(1));
    EXPECT_TRUE(assertions.reports.empty());

    Semaphore shared(0, 1, "Global\\Pastrix");  // only private semaphores exist
    EXPECT_TRUE(assertions.reported("false"));
    shared.release(1);
    EXPECT_TRUE(assertions.reported("_semaphore != NULL"));
}

TEST_F(ThreadImplTest, SemaphoreHandsOverBetweenThreads) {
    class Handover final : public Runnable {
    public:
        void run() override {
            request.acquire();
            value = 42;
            reply.release(1);
        }
        Semaphore request{0, 1};
        Semaphore reply{0, 1};
        int value = 0;
    } handover;
    ThreadImpl thread(handover);
    thread.start();
    handover.request.release(1);
    handover.reply.acquire();
    EXPECT_EQ(handover.value, 42);
    thread.join();
}

}  // namespace
