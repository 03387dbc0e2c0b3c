#pragma once

#include "os/Types.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace os {

using IconHandle = std::uintptr_t;

// Operations and flags of the notification-area call.
namespace nim {
inline constexpr unsigned Add = 0;
inline constexpr unsigned Delete = 2;
}  // namespace nim

namespace nif {
inline constexpr unsigned Message = 0x1;
inline constexpr unsigned Icon = 0x2;
inline constexpr unsigned Tip = 0x4;
}  // namespace nif

// The first, 88-byte shape of the notification-icon record.
struct NotifyIconData {
    static constexpr unsigned RecordSize = 88;
    // The tip holds at most this many characters before its terminating zero.
    static constexpr std::size_t MaxTipLength = 63;

    unsigned size = RecordSize;
    WindowHandle window = 0;
    unsigned id = 0;
    unsigned flags = 0;
    unsigned callbackMessage = 0;
    IconHandle icon = 0;
    std::string tip;
};

// The notification area ("status area") of the desktop and the program's icons.
class StatusArea {
public:
    virtual ~StatusArea() = default;

    // Adds or deletes an icon; false with the last error set on failure.
    virtual bool notifyIcon(unsigned operation, const NotifyIconData& data) = 0;
    // An icon of the program's own resources at the system's default size; 0 with the last
    // error set when there is none.
    virtual IconHandle loadIcon(int resourceId) = 0;
};

// Waiting, so that retries can be played without real time passing.
class Clock {
public:
    virtual ~Clock() = default;
    virtual void sleep(std::chrono::milliseconds duration) = 0;
};

}  // namespace os
