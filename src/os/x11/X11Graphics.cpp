#include "os/x11/X11Graphics.h"

#include "os/ErrorCodes.h"

#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>

namespace os::x11 {

namespace {

// Xft keeps per-display caches without locks of its own: every use goes through this one.
std::mutex xftMutex;

XRenderColor renderColour(std::uint32_t colour) {
    return XRenderColor{static_cast<unsigned short>((colour & 0xFF) * 257),
                        static_cast<unsigned short>(((colour >> 8) & 0xFF) * 257),
                        static_cast<unsigned short>(((colour >> 16) & 0xFF) * 257), 0xFFFF};
}

struct TextMetrics {
    int width = 0;
    int ascent = 0;
    int height = 0;
};

bool measure(const XTarget& target, const std::string& text, TextMetrics& metrics) {
    XftFont* font = XftFontOpenName(target.display, target.screen, X11Graphics::FontPattern);
    if (font == nullptr) {
        return false;
    }
    XGlyphInfo extents{};
    XftTextExtentsUtf8(target.display, font, reinterpret_cast<const FcChar8*>(text.data()),
                       static_cast<int>(text.size()), &extents);
    metrics = TextMetrics{extents.xOff, font->ascent, font->ascent + font->descent};
    XftFontClose(target.display, font);
    return true;
}

}  // namespace

X11Graphics::X11Graphics(X11Windows& windows, Errors& errors)
    : windows_(windows), errors_(errors) {}

X11Graphics::~X11Graphics() = default;

bool X11Graphics::measureText(WindowHandle window, const std::string& text, Size& size) {
    bool measured = false;
    TextMetrics metrics;
    const bool exists = windows_.withXTarget(window, [&](const XTarget& target) {
        std::lock_guard lock(xftMutex);
        measured = measure(target, text, metrics);
    });
    if (!exists) {
        errors_.setLastError(error::InvalidWindowHandle);
        return false;
    }
    if (!measured) {
        errors_.setLastError(error::ResourceNameNotFound);
        return false;
    }
    size = Size{metrics.width, metrics.height};
    return true;
}

PaintHandle X11Graphics::beginPaint(WindowHandle window) {
    const bool exists = windows_.withXTarget(window, [&](const XTarget& target) {
        if (target.window != 0) {
            // The window's background is its class colour: clearing paints it.
            XClearWindow(target.display, target.window);
        }
    });
    if (!exists) {
        errors_.setLastError(error::InvalidWindowHandle);
        return 0;
    }
    windows_.validate(window);
    return paints_.begin(window);
}

bool X11Graphics::endPaint(WindowHandle window, PaintHandle paint) {
    if (!paints_.end(paint)) {
        errors_.setLastError(error::InvalidHandle);
        return false;
    }
    windows_.withXTarget(window, [](const XTarget& target) { XFlush(target.display); });
    return true;
}

bool X11Graphics::selectInterfaceFont(PaintHandle paint) {
    if (!paints_.selectFont(paint)) {
        errors_.setLastError(error::InvalidHandle);
        return false;
    }
    return true;
}

void X11Graphics::restoreFont(PaintHandle paint) {
    paints_.restoreFont(paint);
}

void X11Graphics::setTextBackground(PaintHandle paint, std::uint32_t colour) {
    paints_.setBackground(paint, colour);
}

bool X11Graphics::textOut(PaintHandle paint, int x, int y, const std::string& text) {
    const std::optional<common::PaintSessions::Paint> found = paints_.find(paint);
    if (!found) {
        errors_.setLastError(error::InvalidHandle);
        return false;
    }
    const common::PaintSessions::Paint& current = *found;
    bool drawn = false;
    windows_.withXTarget(current.window, [&](const XTarget& target) {
        if (target.window == 0) {
            return;  // a window inside the process has nothing to draw on
        }
        std::lock_guard lock(xftMutex);
        Display* display = target.display;
        Visual* visual = DefaultVisual(display, target.screen);
        const Colormap colormap = DefaultColormap(display, target.screen);
        XftFont* font = XftFontOpenName(display, target.screen, FontPattern);
        if (font == nullptr) {
            return;
        }
        XftDraw* draw = XftDrawCreate(display, target.window, visual, colormap);
        XftColor background{};
        XftColor foreground{};
        const XRenderColor backgroundColour = renderColour(current.background);
        const XRenderColor foregroundColour = renderColour(0x000000);
        if (draw != nullptr &&
            XftColorAllocValue(display, visual, colormap, &backgroundColour, &background)) {
            if (XftColorAllocValue(display, visual, colormap, &foregroundColour, &foreground)) {
                XGlyphInfo extents{};
                const auto* bytes = reinterpret_cast<const FcChar8*>(text.data());
                const int length = static_cast<int>(text.size());
                XftTextExtentsUtf8(display, font, bytes, length, &extents);
                XftDrawRect(draw, &background, x, y, static_cast<unsigned>(extents.xOff),
                            static_cast<unsigned>(font->ascent + font->descent));
                XftDrawStringUtf8(draw, &foreground, font, x, y + font->ascent, bytes, length);
                XftColorFree(display, visual, colormap, &foreground);
                drawn = true;
            }
            XftColorFree(display, visual, colormap, &background);
        }
        if (draw != nullptr) {
            XftDrawDestroy(draw);
        }
        XftFontClose(display, font);
    });
    if (!drawn) {
        errors_.setLastError(error::InvalidHandle);
    }
    return drawn;
}

}  // namespace os::x11
