#include "os/common/WindowPlacement.h"

namespace os::common {

void WindowPlacement::apply(Rect& rect, unsigned& style, int x, int y, int width, int height,
                            unsigned flags) {
    if ((flags & swp::NoMove) == 0) {
        const int currentWidth = rect.right - rect.left;
        const int currentHeight = rect.bottom - rect.top;
        rect = Rect{x, y, x + currentWidth, y + currentHeight};
    }
    if ((flags & swp::NoSize) == 0) {
        rect.right = rect.left + width;
        rect.bottom = rect.top + height;
    }
    if ((flags & swp::HideWindow) != 0) {
        style &= ~ws::Visible;
    }
    if ((flags & swp::ShowWindow) != 0) {
        style |= ws::Visible;
    }
}

bool WindowPlacement::isTopLevel(unsigned style) {
    return (style & ws::Child) == 0 || (style & ws::Popup) != 0;
}

}  // namespace os::common
