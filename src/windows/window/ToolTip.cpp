#include "windows/window/ToolTip.h"

#include "os/Port.h"
#include "platform/assertion/Assertion.h"

#include <algorithm>

namespace windows::window {

std::atomic<ToolTip*> ToolTip::_instance{nullptr};

os::WindowClass ToolTip::description(const std::string& windowClassName) {
    os::WindowClass windowClass;
    windowClass.style = 3;  // redraw the whole window when its size changes
    windowClass.procedure = &ToolTip::windowProcedure;
    windowClass.background = BackgroundColour;
    windowClass.className = windowClassName;
    return windowClass;
}

ToolTip::ToolTip(const std::string& windowClassName, os::WindowHandle parent)
    : WindowXImpl(description(windowClassName), 0, 0, Style, 0, "", parent, true) {}

ToolTip::~ToolTip() {
    // The painting procedure must never reach a tooltip that is gone.
    ToolTip* self = this;
    _instance.compare_exchange_strong(self, nullptr);
}

void ToolTip::hide() {
    os::windows().showWindow(getHandle(), os::sw::Hide);
}

void ToolTip::showText(const std::string& newText, int x, int y) {
    {
        std::lock_guard lock(textMutex);
        text = newText;
    }
    os::Size size;
    if (!os::graphics().measureText(getHandle(), newText, size)) {
        size = os::Size{};
    }
    os::Rect placed{x, y, x + size.width + 3, y + size.height + 3};
    // A long preview near the right or bottom edge would run off the screen.
    os::Rect monitor;
    if (os::windows().getMonitorRect(os::Point{x, y}, monitor)) {
        placed = keptInside(placed, monitor);
    }
    os::windows().setWindowPos(getHandle(), os::HwndTopmost, placed.left, placed.top,
                               placed.right - placed.left, placed.bottom - placed.top,
                               os::swp::NoOwnerZOrder | os::swp::ShowWindow | os::swp::NoActivate);
}

os::Rect ToolTip::keptInside(const os::Rect& wanted, const os::Rect& monitor) {
    const int width = std::min(wanted.right - wanted.left, monitor.right - monitor.left);
    const int height = std::min(wanted.bottom - wanted.top, monitor.bottom - monitor.top);
    const int left = std::clamp(wanted.left, monitor.left, monitor.right - width);
    const int top = std::clamp(wanted.top, monitor.top, monitor.bottom - height);
    return os::Rect{left, top, left + width, top + height};
}

std::string ToolTip::getText() const {
    std::lock_guard lock(textMutex);
    return text;
}

void ToolTip::setInstance(ToolTip* tooltip) {
    PX_ASSERT(tooltip);
    _instance = tooltip;
}

ToolTip* ToolTip::getInstance() {
    return _instance;
}

void ToolTip::paint(os::WindowHandle windowHandle) {
    os::Graphics& graphics = os::graphics();
    const os::PaintHandle paintHandle = graphics.beginPaint(windowHandle);
    ToolTip* instance = _instance;
    PX_ASSERT(_instance);
    const std::string shown = instance != nullptr ? instance->getText() : std::string();
    if (!shown.empty() && graphics.selectInterfaceFont(paintHandle)) {
        graphics.setTextBackground(paintHandle, BackgroundColour);
        graphics.textOut(paintHandle, 0, 0, shown);
        graphics.restoreFont(paintHandle);
    }
    graphics.endPaint(windowHandle, paintHandle);
}

std::intptr_t ToolTip::windowProcedure(os::WindowHandle windowHandle, unsigned int message,
                                       std::uintptr_t wParam, std::intptr_t lParam) {
    switch (message) {
        case os::wm::Create:
            return 0;
        case os::wm::Destroy:
            os::windows().postQuitMessage(0);
            return 0;
        case os::wm::Paint:
            paint(windowHandle);
            return 0;
        default:
            return os::windows().defWindowProc(windowHandle, message, wParam, lParam);
    }
}

}  // namespace windows::window
