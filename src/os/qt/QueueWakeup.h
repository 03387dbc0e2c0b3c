#pragma once

namespace os::qt {

// Tells the user-interface loop that messages may be waiting in the queue of the thread that
// runs it. A desktop whose queues can wake a sleeping loop offers a descriptor that becomes
// readable when a message is queued; one that cannot is polled.
class QueueWakeup {
public:
    virtual ~QueueWakeup() = default;

    // Readable while messages may be waiting; -1 when the queue has to be polled.
    virtual int descriptor() const = 0;
    // Called before the queue is read, so that a message queued afterwards makes the
    // descriptor readable again.
    virtual void clear() = 0;
};

}  // namespace os::qt
