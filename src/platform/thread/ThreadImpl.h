#pragma once

#include "platform/thread/Runnable.h"
#include "platform/thread/ThreadInterfaces.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

namespace platform::thread {

// A joinable thread with an explicit life: created, started, joined. A started thread must
// be joined before it is destroyed.
class ThreadImpl : public Startable, public Joinable, public ThreadIdentity {
public:
    enum State : int { CREATED = 0, STARTED = 1, JOINED = 2, FINISHED = 3 };

    explicit ThreadImpl(Runnable& runnable);
    ~ThreadImpl() override;
    ThreadImpl(const ThreadImpl&) = delete;
    ThreadImpl& operator=(const ThreadImpl&) = delete;

    void start() override;
    void join() override;
    bool isCurrentThread() const override;

    // 0 when the work ended normally, -1 when it let an exception out.
    int getExitCode() const { return exitCode.load(); }

    // A number for the calling thread, never 0, unique within the process.
    static std::uint64_t currentThreadId();

private:
    static constexpr int WAIT_OBJECT_0 = 0;
    static constexpr int WAIT_FAILED = -1;

    void entry();
    int waitForThread();

    Runnable& runnable;
    std::unique_ptr<std::thread> _thread;
    std::atomic<std::uint64_t> _id{0};
    std::atomic<int> _state{CREATED};
    std::atomic<int> exitCode{0};
};

}  // namespace platform::thread
