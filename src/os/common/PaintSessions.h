#pragma once

#include "os/Graphics.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>

namespace os::common {

// The paints a desktop has begun and not ended, with what each has selected: the part of
// painting that is the same whatever draws the text.
class PaintSessions {
public:
    struct Paint {
        WindowHandle window = 0;
        std::uint32_t background = 0xFFFFFF;
        bool fontSelected = false;
    };

    explicit PaintSessions(PaintHandle first) : next_(first) {}

    PaintHandle begin(WindowHandle window);
    // False for a paint that is not running.
    bool end(PaintHandle paint);
    bool selectFont(PaintHandle paint);
    void restoreFont(PaintHandle paint);
    void setBackground(PaintHandle paint, std::uint32_t colour);
    std::optional<Paint> find(PaintHandle paint) const;

private:
    mutable std::mutex mutex_;
    std::map<PaintHandle, Paint> paints_;
    PaintHandle next_;
};

}  // namespace os::common
