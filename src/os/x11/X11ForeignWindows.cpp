#include "os/x11/X11ForeignWindows.h"

#include "os/x11/X11ErrorTrap.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>
#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace os::x11 {

namespace {

struct XFreeDeleter {
    void operator()(void* data) const {
        if (data != nullptr) {
            XFree(data);
        }
    }
};
using XData = std::unique_ptr<unsigned char, XFreeDeleter>;

}  // namespace

X11ForeignWindows::X11ForeignWindows(const std::string& displayName) {
    XInitThreads();
    X11ErrorTrap::installHandler();
    desktop_ = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
    if (desktop_ == nullptr) {
        const char* name = displayName.empty() ? std::getenv("DISPLAY") : displayName.c_str();
        throw std::runtime_error(std::string("cannot open the X display \"") +
                                 (name != nullptr ? name : "") + "\"");
    }
}

X11ForeignWindows::~X11ForeignWindows() {
    XCloseDisplay(desktop_);
}

WindowHandle X11ForeignWindows::handleOf(unsigned long xWindow) const {
    std::lock_guard lock(handlesMutex_);
    const auto known = handleByXWindow_.find(xWindow);
    if (known != handleByXWindow_.end()) {
        return known->second;
    }
    const WindowHandle handle = nextHandle_;
    nextHandle_ += 0x10;
    handleByXWindow_.emplace(xWindow, handle);
    xWindowByHandle_.emplace(handle, xWindow);
    return handle;
}

unsigned long X11ForeignWindows::xWindowOf(WindowHandle window) const {
    std::lock_guard lock(handlesMutex_);
    const auto found = xWindowByHandle_.find(window);
    return found != xWindowByHandle_.end() ? found->second : 0;
}

unsigned long X11ForeignWindows::atom(const char* name) const {
    return XInternAtom(desktop_, name, False);
}

bool X11ForeignWindows::exists(unsigned long xWindow) const {
    std::lock_guard query(queryMutex_);
    X11ErrorTrap trap(desktop_);
    XWindowAttributes attributes{};
    return XGetWindowAttributes(desktop_, xWindow, &attributes) != 0 && trap.sync() == 0;
}

std::optional<X11ForeignWindows::ClassHint> X11ForeignWindows::classHintOf(
    unsigned long xWindow) const {
    std::lock_guard query(queryMutex_);
    X11ErrorTrap trap(desktop_);
    XClassHint hint{nullptr, nullptr};
    const Status got = XGetClassHint(desktop_, xWindow, &hint);
    trap.sync();
    if (got == 0) {
        return std::nullopt;
    }
    ClassHint parts;
    if (hint.res_name != nullptr) {
        parts.name = hint.res_name;
    }
    if (hint.res_class != nullptr) {
        parts.className = hint.res_class;
    }
    XFree(hint.res_name);
    XFree(hint.res_class);
    return parts;
}

std::optional<std::string> X11ForeignWindows::classOf(unsigned long xWindow, bool wantName) const {
    const std::optional<ClassHint> hint = classHintOf(xWindow);
    return hint ? (wantName ? hint->name : hint->className) : std::nullopt;
}

bool X11ForeignWindows::hasClass(unsigned long xWindow, const std::string& className) const {
    const std::optional<ClassHint> hint = classHintOf(xWindow);
    return hint && (hint->className == className || hint->name == className);
}

std::string X11ForeignWindows::titleOf(unsigned long xWindow) const {
    std::lock_guard query(queryMutex_);
    X11ErrorTrap trap(desktop_);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long left = 0;
    unsigned char* raw = nullptr;
    if (XGetWindowProperty(desktop_, xWindow, atom("_NET_WM_NAME"), 0, 4096, False,
                           atom("UTF8_STRING"), &type, &format, &count, &left, &raw) == 0) {
        XData data(raw);
        if (data && format == 8 && count > 0) {
            return std::string(reinterpret_cast<const char*>(data.get()), count);
        }
    }
    XTextProperty property{};
    if (XGetWMName(desktop_, xWindow, &property) == 0 || property.value == nullptr) {
        return {};
    }
    XData value(property.value);
    char** list = nullptr;
    int listCount = 0;
    std::string title;
    if (Xutf8TextPropertyToTextList(desktop_, &property, &list, &listCount) >= 0 &&
        list != nullptr) {
        for (int i = 0; i < listCount; ++i) {
            title += list[i];
        }
        XFreeStringList(list);
    } else if (property.format == 8) {
        title.assign(reinterpret_cast<const char*>(property.value), property.nitems);
    }
    return title;
}

bool X11ForeignWindows::rectOf(unsigned long xWindow, Rect& rect) const {
    std::lock_guard query(queryMutex_);
    X11ErrorTrap trap(desktop_);
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(desktop_, xWindow, &attributes) == 0 || trap.sync() != 0) {
        return false;
    }
    int x = 0;
    int y = 0;
    ::Window child = 0;
    XTranslateCoordinates(desktop_, xWindow, attributes.root, 0, 0, &x, &y, &child);
    if (trap.sync() != 0) {
        return false;
    }
    rect = Rect{x, y, x + attributes.width, y + attributes.height};
    // The frame the window manager put around the window belongs to it, as on other desktops.
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long left = 0;
    unsigned char* raw = nullptr;
    if (XGetWindowProperty(desktop_, xWindow, atom("_NET_FRAME_EXTENTS"), 0, 4, False, XA_CARDINAL,
                           &type, &format, &count, &left, &raw) == 0) {
        XData data(raw);
        if (data && format == 32 && count == 4) {
            const auto* extents = reinterpret_cast<const long*>(data.get());
            rect.left -= static_cast<int>(extents[0]);
            rect.right += static_cast<int>(extents[1]);
            rect.top -= static_cast<int>(extents[2]);
            rect.bottom += static_cast<int>(extents[3]);
        }
    }
    return true;
}

std::optional<bool> X11ForeignWindows::viewable(unsigned long xWindow) const {
    std::lock_guard query(queryMutex_);
    X11ErrorTrap trap(desktop_);
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(desktop_, xWindow, &attributes) == 0 || trap.sync() != 0) {
        return std::nullopt;
    }
    return attributes.map_state == IsViewable;
}

unsigned long X11ForeignWindows::findByClass(const std::string& className) const {
    std::lock_guard query(queryMutex_);
    X11ErrorTrap trap(desktop_);
    ::Window root = 0;
    ::Window parent = 0;
    ::Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(desktop_, DefaultRootWindow(desktop_), &root, &parent, &children, &count) == 0) {
        return 0;
    }
    std::unique_ptr<::Window, XFreeDeleter> topLevel(children);
    // Top first: the list comes in stacking order, bottom first. Window managers put the
    // applications' windows into frames, so the frames' children are looked at as well.
    for (unsigned int i = count; i-- > 0;) {
        const ::Window candidate = topLevel.get()[i];
        if (hasClass(candidate, className)) {
            return candidate;
        }
        ::Window* inner = nullptr;
        unsigned int innerCount = 0;
        if (XQueryTree(desktop_, candidate, &root, &parent, &inner, &innerCount) == 0) {
            continue;
        }
        std::unique_ptr<::Window, XFreeDeleter> innerList(inner);
        for (unsigned int j = innerCount; j-- > 0;) {
            if (hasClass(innerList.get()[j], className)) {
                return innerList.get()[j];
            }
        }
    }
    return 0;
}

unsigned long X11ForeignWindows::activeWindow() const {
    std::lock_guard query(queryMutex_);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long left = 0;
    unsigned char* raw = nullptr;
    unsigned long active = 0;
    if (XGetWindowProperty(desktop_, DefaultRootWindow(desktop_), atom("_NET_ACTIVE_WINDOW"), 0, 1,
                           False, XA_WINDOW, &type, &format, &count, &left, &raw) == 0) {
        XData data(raw);
        if (data && format == 32 && count == 1) {
            active = static_cast<unsigned long>(*reinterpret_cast<const long*>(data.get()));
        }
    }
    return active;
}

bool X11ForeignWindows::activate(unsigned long xWindow) {
    std::lock_guard query(queryMutex_);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = xWindow;
    event.xclient.message_type = atom("_NET_ACTIVE_WINDOW");
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2;
    event.xclient.data.l[1] = CurrentTime;
    const ::Window root = DefaultRootWindow(desktop_);
    X11ErrorTrap trap(desktop_);
    XSendEvent(desktop_, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    return trap.sync() == 0;
}

bool X11ForeignWindows::cursor(Point& position) const {
    std::lock_guard query(queryMutex_);
    ::Window root = 0;
    ::Window child = 0;
    int rootX = 0;
    int rootY = 0;
    int windowX = 0;
    int windowY = 0;
    unsigned int mask = 0;
    if (XQueryPointer(desktop_, DefaultRootWindow(desktop_), &root, &child, &rootX, &rootY,
                      &windowX, &windowY, &mask) == 0) {
        return false;
    }
    position = Point{rootX, rootY};
    return true;
}

std::vector<Rect> X11ForeignWindows::monitors() const {
    std::lock_guard query(queryMutex_);
    const ::Window root = DefaultRootWindow(desktop_);
    std::vector<Rect> monitors;
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    // Monitors came with RandR 1.5; an older server gives the whole screen.
    if (XRRQueryExtension(desktop_, &eventBase, &errorBase) != 0 &&
        XRRQueryVersion(desktop_, &major, &minor) != 0 && (major > 1 || minor >= 5)) {
        int count = 0;
        if (XRRMonitorInfo* found = XRRGetMonitors(desktop_, root, True, &count)) {
            for (int i = 0; i < count; ++i) {
                monitors.push_back(Rect{found[i].x, found[i].y, found[i].x + found[i].width,
                                        found[i].y + found[i].height});
            }
            XRRFreeMonitors(found);
        }
    }
    if (monitors.empty()) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(desktop_, root, &attributes) != 0) {
            monitors.push_back(Rect{0, 0, attributes.width, attributes.height});
        }
    }
    return monitors;
}

unsigned long X11ForeignWindows::pixelOf(std::uint32_t colour) {
    XColor xColour{};
    xColour.red = static_cast<unsigned short>((colour & 0xFF) * 257);
    xColour.green = static_cast<unsigned short>(((colour >> 8) & 0xFF) * 257);
    xColour.blue = static_cast<unsigned short>(((colour >> 16) & 0xFF) * 257);
    xColour.flags = DoRed | DoGreen | DoBlue;
    std::lock_guard query(queryMutex_);
    const int screen = DefaultScreen(desktop_);
    return XAllocColor(desktop_, DefaultColormap(desktop_, screen), &xColour) != 0
               ? xColour.pixel
               : WhitePixel(desktop_, screen);
}

}  // namespace os::x11
