#pragma once

#include "os/Windows.h"

#include <optional>
#include <vector>

namespace os::common {

// Which of a desktop's monitors a point belongs to, the same way on every backend.
class Monitors {
public:
    // The first monitor that shows the point; when none does (a gap between monitors, a
    // point off the desktop), the one nearest to it. Nothing when there are no monitors.
    static std::optional<Rect> holding(const std::vector<Rect>& monitors, const Point& point);
};

}  // namespace os::common
