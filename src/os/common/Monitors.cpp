#include "os/common/Monitors.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace os::common {

namespace {

// How far one coordinate lies outside [low, high); 0 inside.
std::int64_t outside(int value, int low, int high) {
    if (value < low) {
        return static_cast<std::int64_t>(low) - value;
    }
    if (value >= high) {
        return static_cast<std::int64_t>(value) - high + 1;
    }
    return 0;
}

}  // namespace

std::optional<Rect> Monitors::holding(const std::vector<Rect>& monitors, const Point& point) {
    std::optional<Rect> nearest;
    std::int64_t nearestDistance = std::numeric_limits<std::int64_t>::max();
    for (const Rect& monitor : monitors) {
        if (monitor.right <= monitor.left || monitor.bottom <= monitor.top) {
            continue;  // an empty monitor shows nothing
        }
        const std::int64_t dx = outside(point.x, monitor.left, monitor.right);
        const std::int64_t dy = outside(point.y, monitor.top, monitor.bottom);
        const std::int64_t distance = dx * dx + dy * dy;
        if (distance < nearestDistance) {
            nearest = monitor;
            nearestDistance = distance;
            if (distance == 0) {
                break;
            }
        }
    }
    return nearest;
}

}  // namespace os::common
