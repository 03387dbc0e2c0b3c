#pragma once

#include "os/Types.h"

#include <cstdint>
#include <string>

namespace os {

using PaintHandle = std::uintptr_t;

struct Size {
    int width = 0;
    int height = 0;
};

// Drawing text in windows, in the desktop's small variable-width interface font.
class Graphics {
public:
    virtual ~Graphics() = default;

    // Measures the text as it would be drawn in the window.
    virtual bool measureText(WindowHandle window, const std::string& text, Size& size) = 0;

    // Painting, while the window handles its paint message: begin, draw, end.
    virtual PaintHandle beginPaint(WindowHandle window) = 0;
    virtual bool endPaint(WindowHandle window, PaintHandle paint) = 0;
    // Selects the interface font into the paint and back out of it.
    virtual bool selectInterfaceFont(PaintHandle paint) = 0;
    virtual void restoreFont(PaintHandle paint) = 0;
    // The colour (0x00BBGGRR) behind the text drawn next.
    virtual void setTextBackground(PaintHandle paint, std::uint32_t colour) = 0;
    virtual bool textOut(PaintHandle paint, int x, int y, const std::string& text) = 0;
};

}  // namespace os
