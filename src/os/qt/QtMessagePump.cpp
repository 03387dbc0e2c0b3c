#include "os/qt/QtMessagePump.h"

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <utility>

namespace os::qt {

QtMessagePump::QtMessagePump(Windows& windows, QueueWakeup* wakeup, Filter filter,
                             FailureHandler onFailure, std::chrono::milliseconds pollInterval)
    : windows_(windows),
      wakeup_(wakeup),
      filter_(std::move(filter)),
      onFailure_(std::move(onFailure)),
      context_(std::make_unique<QObject>()) {
    if (wakeup_ != nullptr && wakeup_->descriptor() >= 0) {
        notifier_ =
            new QSocketNotifier(wakeup_->descriptor(), QSocketNotifier::Read, context_.get());
        QObject::connect(notifier_, &QSocketNotifier::activated, context_.get(), [this] {
            // Cleared before the queue is read: a message queued from now on wakes us again.
            wakeup_->clear();
            turn();
        });
    } else {
        poll_ = new QTimer(context_.get());
        poll_->setInterval(static_cast<int>(pollInterval.count()));
        QObject::connect(poll_, &QTimer::timeout, context_.get(), [this] { turn(); });
        poll_->start();
    }
    // Messages queued before the loop existed.
    scheduleTurn();
}

QtMessagePump::~QtMessagePump() = default;

void QtMessagePump::scheduleTurn() {
    if (turnScheduled_) {
        return;
    }
    turnScheduled_ = true;
    QTimer::singleShot(0, context_.get(), [this] {
        turnScheduled_ = false;
        turn();
    });
}

void QtMessagePump::turn() {
    if (!handleOne()) {
        return;
    }
    Message next;
    if (!handling_ && windows_.peekMessage(next, false)) {
        // One message per turn, so that Qt's own events are never starved.
        scheduleTurn();
    }
}

bool QtMessagePump::handleOne() {
    if (handling_) {
        return false;
    }
    Message message;
    if (!windows_.peekMessage(message, true)) {
        return false;
    }
    handling_ = true;
    lastFailed_ = false;
    ++handled_;
    try {
        if (!filter_ || !filter_(message)) {
            windows_.translateMessage(message);
            windows_.dispatchMessage(message);
        }
    } catch (...) {
        handling_ = false;
        lastFailed_ = true;
        onFailure_(std::current_exception());
        return true;
    }
    handling_ = false;
    return true;
}

int QtMessagePump::drain() {
    int count = 0;
    while (handleOne()) {
        ++count;
        if (lastFailed_) {
            // The loop that ran us ends with the failure; the rest waits for the next one.
            break;
        }
    }
    return count;
}

}  // namespace os::qt
