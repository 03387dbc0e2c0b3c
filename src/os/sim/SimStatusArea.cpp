#include "os/sim/SimStatusArea.h"

#include "os/ErrorCodes.h"

namespace os::sim {

SimStatusArea::SimStatusArea(Errors& errors) : errors_(errors) {}

bool SimStatusArea::notifyIcon(unsigned operation, const NotifyIconData& data) {
    std::lock_guard lock(mutex_);
    Call call{operation, data, false};
    int error = error::Success;
    if (failure_ != error::Success && failuresLeft_ != 0) {
        error = failure_;
        if (failuresLeft_ > 0) {
            --failuresLeft_;
        }
    } else if (data.size != NotifyIconData::RecordSize || data.window == 0 ||
               data.tip.size() > NotifyIconData::MaxTipLength) {
        error = error::InvalidParameter;
    } else {
        const auto key = std::make_pair(data.window, data.id);
        if (operation == nim::Add) {
            // As the system does: a second icon of the same window and identifier is refused.
            if (!icons_.insert(key).second) {
                error = error::InvalidParameter;
            }
        } else if (operation == nim::Delete) {
            if (icons_.erase(key) == 0) {
                error = error::InvalidParameter;
            }
        } else {
            error = error::InvalidParameter;
        }
    }
    call.succeeded = error == error::Success;
    calls_.push_back(call);
    if (!call.succeeded) {
        errors_.setLastError(error);
    }
    return call.succeeded;
}

IconHandle SimStatusArea::loadIcon(int resourceId) {
    std::lock_guard lock(mutex_);
    if (resources_.count(resourceId) == 0) {
        errors_.setLastError(error::ResourceNameNotFound);
        return 0;
    }
    return static_cast<IconHandle>(0x10000 + resourceId);
}

void SimStatusArea::failWith(int errorCode, int count) {
    std::lock_guard lock(mutex_);
    failure_ = errorCode;
    failuresLeft_ = count;
}

void SimStatusArea::removeIconResource(int resourceId) {
    std::lock_guard lock(mutex_);
    resources_.erase(resourceId);
}

std::set<std::pair<WindowHandle, unsigned>> SimStatusArea::icons() const {
    std::lock_guard lock(mutex_);
    return icons_;
}

std::vector<SimStatusArea::Call> SimStatusArea::calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

void SimClock::sleep(std::chrono::milliseconds duration) {
    std::lock_guard lock(mutex_);
    sleeps_.push_back(duration);
}

std::vector<std::chrono::milliseconds> SimClock::sleeps() const {
    std::lock_guard lock(mutex_);
    return sleeps_;
}

std::chrono::milliseconds SimClock::slept() const {
    std::lock_guard lock(mutex_);
    std::chrono::milliseconds total{0};
    for (const auto duration : sleeps_) {
        total += duration;
    }
    return total;
}

}  // namespace os::sim
