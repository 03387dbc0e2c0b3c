#include "platform/Semaphore.h"

#include "platform/assertion/Assertion.h"

#include <chrono>
#include <cstddef>

namespace platform {

Semaphore::Semaphore(int count, int maxValue, const std::string& semaphoreName)
    : initialCount(count), name(semaphoreName) {
    PX_ASSERT(maxValue > 0);
    // Only process-private semaphores exist here: the program never shares one.
    if (name != NonShared || maxValue <= 0 || initialCount < 0 || initialCount > maxValue) {
        PX_ASSERT(false);
        return;
    }
    _semaphore = std::make_unique<Counter>();
    _semaphore->count = initialCount;
    _semaphore->maximum = maxValue;
}

Semaphore::~Semaphore() = default;

bool Semaphore::acquire(unsigned long milliseconds) {
    if (!_semaphore) {
        PX_ASSERT(false);
        return false;
    }
    std::unique_lock lock(_semaphore->mutex);
    const auto positive = [this] { return _semaphore->count > 0; };
    if (milliseconds == INFINITE) {
        _semaphore->available.wait(lock, positive);
    } else if (!_semaphore->available.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                               positive)) {
        return false;
    }
    --_semaphore->count;
    return true;
}

void Semaphore::release(int count) {
    PX_ASSERT(_semaphore != NULL);
    if (!_semaphore || count <= 0) {
        return;
    }
    std::lock_guard lock(_semaphore->mutex);
    const long previousCount = _semaphore->count;
    PX_ASSERT(previousCount >= 0);
    if (previousCount + count > _semaphore->maximum) {
        return;
    }
    _semaphore->count += count;
    _semaphore->available.notify_all();
}

}  // namespace platform
