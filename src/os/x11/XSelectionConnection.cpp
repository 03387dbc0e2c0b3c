#include "os/x11/XSelectionConnection.h"

#include "os/x11/X11ErrorTrap.h"

#include <X11/Xatom.h>
#include <cstdint>
#include <poll.h>

// Xlib's macro of this name would hide the program's error code.
#undef Success

namespace {
constexpr int XlibSuccess = 0;
}  // namespace

namespace os::x11 {

XSelectionConnection::XSelectionConnection() {
    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) {
        return;
    }
    X11ErrorTrap::ignoreErrorsOn(display_);
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), -10, -10, 1, 1, 0, 0, 0);
    // Property changes tell when the next INCR step is there.
    XSelectInput(display_, window_, PropertyChangeMask);
    XFlush(display_);
}

XSelectionConnection::~XSelectionConnection() {
    if (display_ != nullptr) {
        XDestroyWindow(display_, window_);
        X11ErrorTrap::stopIgnoring(display_);
        XCloseDisplay(display_);
    }
}

Atom XSelectionConnection::atom(const char* name) {
    return XInternAtom(display_, name, False);
}

std::optional<std::string> XSelectionConnection::atomName(Atom atom) {
    char* name = atom == None ? nullptr : XGetAtomName(display_, atom);
    if (name == nullptr) {
        return std::nullopt;
    }
    std::string text(name);
    XFree(name);
    return text;
}

Window XSelectionConnection::owner(Atom selection) {
    return XGetSelectionOwner(display_, selection);
}

void XSelectionConnection::convert(Atom selection, Atom target, Atom property) {
    XConvertSelection(display_, selection, target, property, window_, CurrentTime);
}

std::optional<SelectionConnection::Piece> XSelectionConnection::property(Atom property, long offset,
                                                                         long length) {
    Piece piece;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, window_, property, offset, length, False, AnyPropertyType,
                           &piece.type, &piece.format, &piece.items, &piece.bytesAfter,
                           &data) != XlibSuccess) {
        return std::nullopt;
    }
    if (data == nullptr) {
        return piece;
    }
    if (piece.format == 8) {
        piece.bytes.assign(reinterpret_cast<const char*>(data), piece.items);
    } else if (piece.format == 16) {
        // 16-bit items come back as shorts.
        for (unsigned long i = 0; i < piece.items; ++i) {
            const auto item = static_cast<std::uint16_t>(reinterpret_cast<short*>(data)[i]);
            piece.bytes.append(reinterpret_cast<const char*>(&item), sizeof item);
        }
    } else if (piece.format == 32) {
        // 32-bit items come back as longs.
        for (unsigned long i = 0; i < piece.items; ++i) {
            const auto item = static_cast<std::uint32_t>(reinterpret_cast<long*>(data)[i]);
            piece.bytes.append(reinterpret_cast<const char*>(&item), sizeof item);
        }
    }
    XFree(data);
    return piece;
}

void XSelectionConnection::deleteProperty(Atom property) {
    XDeleteProperty(display_, window_, property);
}

void XSelectionConnection::flush() {
    XFlush(display_);
}

void XSelectionConnection::sync() {
    XSync(display_, False);
}

bool XSelectionConnection::takeEvent(const std::function<bool(const XEvent&)>& matches,
                                     XEvent& event) {
    const auto predicate = [](Display*, XEvent* candidate, XPointer argument) -> Bool {
        return (*reinterpret_cast<const std::function<bool(const XEvent&)>*>(argument))(*candidate)
                   ? True
                   : False;
    };
    return XCheckIfEvent(display_, &event, predicate,
                         reinterpret_cast<XPointer>(
                             const_cast<std::function<bool(const XEvent&)>*>(&matches))) == True;
}

std::size_t XSelectionConnection::queued() {
    return static_cast<std::size_t>(XQLength(display_));
}

void XSelectionConnection::waitForInput(Clock::time_point deadline) {
    // Rounded up, so that the last part of a millisecond is waited for, not spun through.
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) {
        return;
    }
    pollfd wait{ConnectionNumber(display_), POLLIN, 0};
    ::poll(&wait, 1, static_cast<int>(left));
}

}  // namespace os::x11
