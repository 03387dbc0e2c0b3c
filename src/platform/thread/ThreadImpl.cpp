#include "platform/thread/ThreadImpl.h"

#include "platform/assertion/Assertion.h"

#include <system_error>

namespace platform::thread {

ThreadImpl::ThreadImpl(Runnable& work) : runnable(work) {}

ThreadImpl::~ThreadImpl() {
    PX_ASSERT(_state == CREATED || _state == JOINED);
    if (_thread && _thread->joinable()) {
        // Never end the process over a thread its owner forgot to join.
        _thread->join();
    }
    _state = FINISHED;
}

std::uint64_t ThreadImpl::currentThreadId() {
    static std::atomic<std::uint64_t> lastId{0};
    thread_local const std::uint64_t id = ++lastId;
    return id;
}

void ThreadImpl::start() {
    PX_ASSERT(_state == CREATED);
    PX_ASSERT(!_thread);
    if (_state != CREATED || _thread) {
        return;  // a second start would lose track of the running thread
    }
    _thread = std::make_unique<std::thread>([this] { entry(); });
    // The id is known once the thread runs; wait for it so isCurrentThread works at once.
    while (_id.load() == 0) {
        std::this_thread::yield();
    }
    PX_ASSERT(_thread);
    PX_ASSERT(_id);
    _state = STARTED;
}

void ThreadImpl::entry() {
    Runnable* p = &runnable;
    _id = currentThreadId();
    PX_ASSERT(p);
    try {
        p->run();
        exitCode = 0;
    } catch (...) {
        assertionFailed("false", __FILE__, __LINE__);
        exitCode = -1;
    }
}

int ThreadImpl::waitForThread() {
    if (!_thread || !_thread->joinable()) {
        return WAIT_OBJECT_0;
    }
    try {
        _thread->join();
        return WAIT_OBJECT_0;
    } catch (const std::system_error&) {
        return WAIT_FAILED;
    }
}

void ThreadImpl::join() {
    PX_ASSERT(_state == STARTED || _state == JOINED);
    const int ret = waitForThread();
    PX_ASSERT(ret == WAIT_OBJECT_0);
    _state = JOINED;
}

bool ThreadImpl::isCurrentThread() const {
    const std::uint64_t id = currentThreadId();
    PX_ASSERT(id);
    return id == _id;
}

}  // namespace platform::thread
