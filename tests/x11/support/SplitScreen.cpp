#include "support/SplitScreen.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <stdexcept>

namespace x11_testing {

SplitScreen::SplitScreen(int split) : display_(XOpenDisplay(nullptr)) {
    if (display_ == nullptr) {
        throw std::runtime_error("no X display to split");
    }
    const ::Window root = DefaultRootWindow(display_);
    XRRScreenResources* resources = XRRGetScreenResources(display_, root);
    const int width = DisplayWidth(display_, DefaultScreen(display_));
    const int height = DisplayHeight(display_, DefaultScreen(display_));
    // The left monitor takes the screen's output, so that RandR shows it instead of the
    // output's own monitor; the right one has none.
    add("PASTRIX_LEFT", 0, split, height,
        resources != nullptr && resources->noutput > 0 ? resources->outputs[0] : 0);
    add("PASTRIX_RIGHT", split, width - split, height, 0);
    if (resources != nullptr) {
        XRRFreeScreenResources(resources);
    }
    XSync(display_, False);
}

SplitScreen::~SplitScreen() {
    for (const unsigned long name : names_) {
        XRRDeleteMonitor(display_, DefaultRootWindow(display_), name);
    }
    XCloseDisplay(display_);
}

void SplitScreen::add(const char* name, int x, int width, int height, unsigned long output) {
    XRRMonitorInfo* monitor = XRRAllocateMonitor(display_, output != 0 ? 1 : 0);
    const Atom atom = XInternAtom(display_, name, False);
    monitor->name = atom;
    monitor->x = x;
    monitor->y = 0;
    monitor->width = width;
    monitor->height = height;
    monitor->mwidth = width / 4;
    monitor->mheight = height / 4;
    if (output != 0) {
        monitor->outputs[0] = output;
    }
    XRRSetMonitor(display_, DefaultRootWindow(display_), monitor);
    XRRFreeMonitors(monitor);
    names_.push_back(atom);
}

}  // namespace x11_testing
