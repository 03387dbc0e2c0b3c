#include "os/sim/SimGraphics.h"

#include "os/ErrorCodes.h"

namespace os::sim {

SimGraphics::SimGraphics(SimWindows& windows, Errors& errors)
    : windows_(windows), errors_(errors) {}

bool SimGraphics::measureText(WindowHandle window, const std::string& text, Size& size) {
    if (!windows_.isWindow(window)) {
        errors_.setLastError(error::InvalidWindowHandle);
        return false;
    }
    size = Size{static_cast<int>(text.size()) * CharacterWidth, LineHeight};
    return true;
}

PaintHandle SimGraphics::beginPaint(WindowHandle window) {
    if (!windows_.isWindow(window)) {
        errors_.setLastError(error::InvalidWindowHandle);
        return 0;
    }
    windows_.validate(window);
    std::lock_guard lock(mutex_);
    const PaintHandle paint = nextPaint_++;
    paints_.emplace(paint, Paint{window, 0xFFFFFF, false});
    // Painting starts from the background: what was drawn before is gone.
    painted_[window] = Painted{};
    ++paintCounts_[window];
    return paint;
}

bool SimGraphics::endPaint(WindowHandle /*window*/, PaintHandle paint) {
    std::lock_guard lock(mutex_);
    return paints_.erase(paint) != 0;
}

bool SimGraphics::selectInterfaceFont(PaintHandle paint) {
    std::lock_guard lock(mutex_);
    const auto found = paints_.find(paint);
    if (found == paints_.end()) {
        return false;
    }
    found->second.fontSelected = true;
    return true;
}

void SimGraphics::restoreFont(PaintHandle paint) {
    std::lock_guard lock(mutex_);
    const auto found = paints_.find(paint);
    if (found != paints_.end()) {
        found->second.fontSelected = false;
    }
}

void SimGraphics::setTextBackground(PaintHandle paint, std::uint32_t colour) {
    std::lock_guard lock(mutex_);
    const auto found = paints_.find(paint);
    if (found != paints_.end()) {
        found->second.background = colour;
    }
}

bool SimGraphics::textOut(PaintHandle paint, int x, int y, const std::string& text) {
    std::lock_guard lock(mutex_);
    const auto found = paints_.find(paint);
    if (found == paints_.end()) {
        errors_.setLastError(error::InvalidHandle);
        return false;
    }
    painted_[found->second.window] = Painted{text, x, y, found->second.background};
    return true;
}

SimGraphics::Painted SimGraphics::painted(WindowHandle window) const {
    std::lock_guard lock(mutex_);
    const auto found = painted_.find(window);
    return found == painted_.end() ? Painted{} : found->second;
}

int SimGraphics::paintCount(WindowHandle window) const {
    std::lock_guard lock(mutex_);
    const auto found = paintCounts_.find(window);
    return found == paintCounts_.end() ? 0 : found->second;
}

}  // namespace os::sim
