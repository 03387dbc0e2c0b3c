#pragma once

#include "os/Errors.h"
#include "os/StatusArea.h"

#include <chrono>
#include <mutex>
#include <set>
#include <utility>
#include <vector>

namespace os::sim {

// The notification area of the simulated desktop: the icons shown, every call made, and
// failures on demand. The program's only icon resource is 100 unless a test takes it away.
class SimStatusArea final : public StatusArea {
public:
    struct Call {
        unsigned operation = 0;
        NotifyIconData data;
        bool succeeded = false;
    };

    explicit SimStatusArea(Errors& errors);

    bool notifyIcon(unsigned operation, const NotifyIconData& data) override;
    IconHandle loadIcon(int resourceId) override;

    // The next `count` calls fail with the error code (count < 0: every call from now on).
    void failWith(int errorCode, int count = -1);
    void removeIconResource(int resourceId);

    // The icons shown, as window and identifier.
    std::set<std::pair<WindowHandle, unsigned>> icons() const;
    std::vector<Call> calls() const;

private:
    Errors& errors_;
    mutable std::mutex mutex_;
    int failure_ = 0;
    int failuresLeft_ = 0;
    std::set<int> resources_{100};
    std::set<std::pair<WindowHandle, unsigned>> icons_;
    std::vector<Call> calls_;
};

// Time that passes only on paper: sleeping returns at once and is added up.
class SimClock final : public Clock {
public:
    void sleep(std::chrono::milliseconds duration) override;
    std::vector<std::chrono::milliseconds> sleeps() const;
    std::chrono::milliseconds slept() const;

private:
    mutable std::mutex mutex_;
    std::vector<std::chrono::milliseconds> sleeps_;
};

}  // namespace os::sim
