#pragma once

namespace platform::thread {

// The work a thread does.
class Runnable {
public:
    virtual ~Runnable() = default;
    virtual void run() = 0;
};

}  // namespace platform::thread
