#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct _XDisplay;

namespace x11_testing {

// The test's own look at the X server, on a connection of its own: what another client sees.
class XProbe {
public:
    XProbe();
    ~XProbe();
    XProbe(const XProbe&) = delete;
    XProbe& operator=(const XProbe&) = delete;

    struct Geometry {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        int border = 0;
    };

    unsigned long activeWindow();
    bool isViewable(unsigned long window);
    bool isOverrideRedirect(unsigned long window);
    // The place on the root window and the size inside the border.
    std::optional<Geometry> geometry(unsigned long window);
    // res_name and res_class joined by a blank.
    std::string windowClass(unsigned long window);
    // The colour of one pixel inside the window as 0xRRGGBB.
    std::optional<std::uint32_t> pixel(unsigned long window, int x, int y);
    // How many pixels inside the window are dark (each colour channel below half): the text.
    int darkPixels(unsigned long window);
    // A mapped top-level window with a title but no WM_CLASS, gone with the probe.
    unsigned long makeWindowWithoutClass();

private:
    _XDisplay* display_;
};

}  // namespace x11_testing
