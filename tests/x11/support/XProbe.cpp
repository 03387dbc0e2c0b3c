#include "support/XProbe.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdexcept>

namespace x11_testing {

XProbe::XProbe() : display_(XOpenDisplay(nullptr)) {
    if (display_ == nullptr) {
        throw std::runtime_error("the test cannot open its X display");
    }
}

XProbe::~XProbe() {
    // The connection's windows go with it.
    XCloseDisplay(display_);
}

unsigned long XProbe::makeWindowWithoutClass() {
    const Window window = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 50, 50, 200,
                                              100, 0, 0, WhitePixel(display_, 0));
    XStoreName(display_, window, "no class");
    XMapWindow(display_, window);
    XSync(display_, False);
    return window;
}

unsigned long XProbe::activeWindow() {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long left = 0;
    unsigned char* data = nullptr;
    unsigned long active = 0;
    if (XGetWindowProperty(display_, DefaultRootWindow(display_),
                           XInternAtom(display_, "_NET_ACTIVE_WINDOW", False), 0, 1, False,
                           XA_WINDOW, &type, &format, &count, &left, &data) == 0 &&
        data != nullptr) {
        if (count == 1) {
            active = static_cast<unsigned long>(*reinterpret_cast<long*>(data));
        }
        XFree(data);
    }
    return active;
}

bool XProbe::isViewable(unsigned long window) {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display_, window, &attributes) != 0 &&
           attributes.map_state == IsViewable;
}

bool XProbe::isOverrideRedirect(unsigned long window) {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display_, window, &attributes) != 0 &&
           attributes.override_redirect != 0;
}

std::optional<XProbe::Geometry> XProbe::geometry(unsigned long window) {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display_, window, &attributes) == 0) {
        return std::nullopt;
    }
    int x = 0;
    int y = 0;
    Window child = 0;
    XTranslateCoordinates(display_, window, attributes.root, 0, 0, &x, &y, &child);
    return Geometry{x - attributes.border_width, y - attributes.border_width, attributes.width,
                    attributes.height, attributes.border_width};
}

std::string XProbe::windowClass(unsigned long window) {
    XClassHint hint{nullptr, nullptr};
    if (XGetClassHint(display_, window, &hint) == 0) {
        return {};
    }
    std::string both = std::string(hint.res_name != nullptr ? hint.res_name : "") + " " +
                       (hint.res_class != nullptr ? hint.res_class : "");
    XFree(hint.res_name);
    XFree(hint.res_class);
    return both;
}

std::optional<std::uint32_t> XProbe::pixel(unsigned long window, int x, int y) {
    XImage* image = XGetImage(display_, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr) {
        return std::nullopt;
    }
    const unsigned long value = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    XColor colour{};
    colour.pixel = value;
    XQueryColor(display_, DefaultColormap(display_, DefaultScreen(display_)), &colour);
    return static_cast<std::uint32_t>(((colour.red >> 8) << 16) | ((colour.green >> 8) << 8) |
                                      (colour.blue >> 8));
}

int XProbe::darkPixels(unsigned long window) {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display_, window, &attributes) == 0 ||
        attributes.map_state != IsViewable) {
        return 0;
    }
    XImage* image = XGetImage(display_, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (image == nullptr) {
        return 0;
    }
    int dark = 0;
    for (int y = 0; y < attributes.height; ++y) {
        for (int x = 0; x < attributes.width; ++x) {
            const unsigned long value = XGetPixel(image, x, y);
            const auto channel = [&](unsigned long mask) {
                unsigned long part = value & mask;
                while (mask != 0 && (mask & 1) == 0) {
                    mask >>= 1;
                    part >>= 1;
                }
                return mask == 0 ? 0UL : part * 255 / mask;
            };
            if (channel(image->red_mask) < 128 && channel(image->green_mask) < 128 &&
                channel(image->blue_mask) < 128) {
                ++dark;
            }
        }
    }
    XDestroyImage(image);
    return dark;
}

}  // namespace x11_testing
