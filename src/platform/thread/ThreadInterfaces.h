#pragma once

namespace platform::thread {

// The three faces of a thread, so that a user can be given only the one it needs.
class Startable {
public:
    virtual ~Startable() = default;
    virtual void start() = 0;
};

class Joinable {
public:
    virtual ~Joinable() = default;
    virtual void join() = 0;
};

class ThreadIdentity {
public:
    virtual ~ThreadIdentity() = default;
    virtual bool isCurrentThread() const = 0;
};

}  // namespace platform::thread
