#pragma once

#include "os/Types.h"
#include "os/Windows.h"
#include "os/qt/QueueWakeup.h"

#include <chrono>
#include <exception>
#include <functional>
#include <memory>

class QObject;
class QSocketNotifier;
class QTimer;

namespace os::qt {

// Lets the Qt event loop deliver the messages posted to the calling thread's queue of the
// port: one message per turn, each offered to the filter before it is dispatched, with Qt's
// own events handled between turns. A message's handler may run a loop of its own (a modal
// dialog, a message box); the messages that come meanwhile wait until it returns, so that
// they are handled one at a time and in order.
class QtMessagePump {
public:
    // A nonzero answer means the filter has taken the message.
    using Filter = std::function<bool(const Message&)>;
    using FailureHandler = std::function<void(std::exception_ptr)>;

    // Without a wakeup descriptor the queue is polled every `pollInterval`.
    QtMessagePump(Windows& windows, QueueWakeup* wakeup, Filter filter, FailureHandler onFailure,
                  std::chrono::milliseconds pollInterval = std::chrono::milliseconds(10));
    ~QtMessagePump();
    QtMessagePump(const QtMessagePump&) = delete;
    QtMessagePump& operator=(const QtMessagePump&) = delete;

    // Handles the oldest waiting message; false when none waits or one is being handled.
    bool handleOne();
    // Handles every message that waits now, one after another; returns how many.
    int drain();
    bool isHandling() const { return handling_; }
    // How many messages the pump has handled.
    long handled() const { return handled_; }

private:
    void turn();
    void scheduleTurn();

    Windows& windows_;
    QueueWakeup* wakeup_;
    Filter filter_;
    FailureHandler onFailure_;
    std::unique_ptr<QObject> context_;
    QSocketNotifier* notifier_ = nullptr;
    QTimer* poll_ = nullptr;
    bool handling_ = false;
    bool lastFailed_ = false;
    bool turnScheduled_ = false;
    long handled_ = 0;
};

}  // namespace os::qt
