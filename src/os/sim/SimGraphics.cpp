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
    const PaintHandle paint = paints_.begin(window);
    std::lock_guard lock(mutex_);
    // Painting starts from the background: what was drawn before is gone.
    painted_[window] = Painted{};
    ++paintCounts_[window];
    return paint;
}

bool SimGraphics::endPaint(WindowHandle /*window*/, PaintHandle paint) {
    return paints_.end(paint);
}

bool SimGraphics::selectInterfaceFont(PaintHandle paint) {
    return paints_.selectFont(paint);
}

void SimGraphics::restoreFont(PaintHandle paint) {
    paints_.restoreFont(paint);
}

void SimGraphics::setTextBackground(PaintHandle paint, std::uint32_t colour) {
    paints_.setBackground(paint, colour);
}

bool SimGraphics::textOut(PaintHandle paint, int x, int y, const std::string& text) {
    const auto found = paints_.find(paint);
    if (!found) {
        errors_.setLastError(error::InvalidHandle);
        return false;
    }
    std::lock_guard lock(mutex_);
    painted_[found->window] = Painted{text, x, y, found->background};
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
