#pragma once

#include "os/Errors.h"
#include "os/SystemInfo.h"
#include "os/posix/PosixSystemInfo.h"

#include <mutex>
#include <string>

struct _XDisplay;

namespace os::x11 {

// System facts on an X11 desktop: the screen is the X screen (its root window's size, which
// follows a change of resolution), everything else is the POSIX answer.
class X11SystemInfo final : public SystemInfo {
public:
    // Opens a connection of its own; an empty name means $DISPLAY. Without a display the
    // screen metrics answer 0, the system's "cannot tell".
    X11SystemInfo(Errors& errors, const std::string& displayName);
    ~X11SystemInfo() override;
    X11SystemInfo(const X11SystemInfo&) = delete;
    X11SystemInfo& operator=(const X11SystemInfo&) = delete;

    bool getVersionEx(VersionInfo& info) const override;
    int getSystemMetrics(int index) const override;
    std::string getCommandLine() const override;

private:
    posix::PosixSystemInfo posix_;
    mutable std::mutex mutex_;
    _XDisplay* display_ = nullptr;
};

}  // namespace os::x11
