#include "os/common/PaintSessions.h"

namespace os::common {

PaintHandle PaintSessions::begin(WindowHandle window) {
    std::lock_guard lock(mutex_);
    const PaintHandle paint = next_++;
    paints_.emplace(paint, Paint{window, 0xFFFFFF, false});
    return paint;
}

bool PaintSessions::end(PaintHandle paint) {
    std::lock_guard lock(mutex_);
    return paints_.erase(paint) != 0;
}

bool PaintSessions::selectFont(PaintHandle paint) {
    std::lock_guard lock(mutex_);
    const auto found = paints_.find(paint);
    if (found == paints_.end()) {
        return false;
    }
    found->second.fontSelected = true;
    return true;
}

void PaintSessions::restoreFont(PaintHandle paint) {
    std::lock_guard lock(mutex_);
    const auto found = paints_.find(paint);
    if (found != paints_.end()) {
        found->second.fontSelected = false;
    }
}

void PaintSessions::setBackground(PaintHandle paint, std::uint32_t colour) {
    std::lock_guard lock(mutex_);
    const auto found = paints_.find(paint);
    if (found != paints_.end()) {
        found->second.background = colour;
    }
}

std::optional<PaintSessions::Paint> PaintSessions::find(PaintHandle paint) const {
    std::lock_guard lock(mutex_);
    const auto found = paints_.find(paint);
    if (found == paints_.end()) {
        return std::nullopt;
    }
    return found->second;
}

}  // namespace os::common
