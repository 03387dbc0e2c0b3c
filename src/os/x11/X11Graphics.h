#pragma once

#include "os/Errors.h"
#include "os/Graphics.h"
#include "os/common/PaintSessions.h"
#include "os/x11/X11Windows.h"

#include <cstdint>
#include <string>

namespace os::x11 {

// Text in the program's X windows, drawn with Xft in the desktop's sans-serif interface font.
// Painting clears the window to its class background first; text is drawn in black on the
// colour setTextBackground names (white until then).
class X11Graphics final : public Graphics {
public:
    // The fontconfig pattern of the interface font.
    static constexpr const char* FontPattern = "sans-serif-9";

    X11Graphics(X11Windows& windows, Errors& errors);
    ~X11Graphics() override;

    bool measureText(WindowHandle window, const std::string& text, Size& size) override;
    PaintHandle beginPaint(WindowHandle window) override;
    bool endPaint(WindowHandle window, PaintHandle paint) override;
    bool selectInterfaceFont(PaintHandle paint) override;
    void restoreFont(PaintHandle paint) override;
    void setTextBackground(PaintHandle paint, std::uint32_t colour) override;
    bool textOut(PaintHandle paint, int x, int y, const std::string& text) override;

private:
    X11Windows& windows_;
    Errors& errors_;
    common::PaintSessions paints_{1};
};

}  // namespace os::x11
