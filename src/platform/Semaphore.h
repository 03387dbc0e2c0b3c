#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

namespace platform {

// A counting semaphore private to the process.
class Semaphore {
public:
    // The name of a semaphore that no other process can open.
    static constexpr const char* NonShared = "Non shared semaphore";
    static constexpr unsigned long INFINITE = 0xFFFFFFFFUL;

    Semaphore(int initialCount, int maxValue, const std::string& name = NonShared);
    ~Semaphore();
    Semaphore(const Semaphore&) = delete;
    Semaphore& operator=(const Semaphore&) = delete;

    // Waits until the count is positive and takes one; false when the time ran out first.
    bool acquire(unsigned long milliseconds = INFINITE);
    // Adds to the count; a release beyond the maximum, or of no positive count, is ignored.
    void release(int count = 1);

private:
    struct Counter {
        std::mutex mutex;
        std::condition_variable available;
        long count = 0;
        long maximum = 0;
    };

    int initialCount;
    std::string name;
    std::unique_ptr<Counter> _semaphore;
};

}  // namespace platform
