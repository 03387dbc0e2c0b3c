#pragma once

#include "os/Errors.h"
#include "os/Graphics.h"
#include "os/common/PaintSessions.h"
#include "os/sim/SimWindows.h"

#include <map>
#include <mutex>
#include <string>

namespace os::sim {

// Text drawing on the simulated desktop. Its interface font is 6 pixels a character and 13
// pixels high; what each window last painted is kept for tests to read.
class SimGraphics final : public Graphics {
public:
    struct Painted {
        std::string text;
        int x = 0;
        int y = 0;
        std::uint32_t background = 0xFFFFFF;
    };

    static constexpr int CharacterWidth = 6;
    static constexpr int LineHeight = 13;

    SimGraphics(SimWindows& windows, Errors& errors);

    bool measureText(WindowHandle window, const std::string& text, Size& size) override;
    PaintHandle beginPaint(WindowHandle window) override;
    bool endPaint(WindowHandle window, PaintHandle paint) override;
    bool selectInterfaceFont(PaintHandle paint) override;
    void restoreFont(PaintHandle paint) override;
    void setTextBackground(PaintHandle paint, std::uint32_t colour) override;
    bool textOut(PaintHandle paint, int x, int y, const std::string& text) override;

    // What the window showed after its last paint; empty when it painted nothing.
    Painted painted(WindowHandle window) const;
    int paintCount(WindowHandle window) const;

private:
    SimWindows& windows_;
    Errors& errors_;
    mutable std::mutex mutex_;
    common::PaintSessions paints_{0x5000};
    std::map<WindowHandle, Painted> painted_;
    std::map<WindowHandle, int> paintCounts_;
};

}  // namespace os::sim
