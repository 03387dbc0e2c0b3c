#include "os/x11/SelectionReader.h"

#include "os/ErrorCodes.h"
#include "os/x11/XErrorTrap.h"

#include <X11/Xatom.h>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <poll.h>

// Xlib's macro of this name would hide the program's error code.
#undef Success

namespace {
constexpr int XlibSuccess = 0;
}  // namespace

namespace os::x11 {

namespace {

constexpr auto AnswerWait = std::chrono::seconds(1);
// The longest pause between two INCR steps before the owner counts as gone.
constexpr auto StepWait = std::chrono::seconds(2);
// More than this from one target is refused rather than taking all the program's memory: an
// owner may announce or send without end.
constexpr std::size_t LargestTarget = std::size_t{512} * 1024 * 1024;
// Properties are read in pieces of this many 32-bit units.
constexpr long PieceLength = 1 << 20;

}  // namespace

SelectionReader::SelectionReader(const char* selection) {
    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) {
        return;
    }
    XErrorTrap::ignoreErrorsOn(display_);
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), -10, -10, 1, 1, 0, 0, 0);
    // Property changes tell when the next INCR step is there.
    XSelectInput(display_, window_, PropertyChangeMask);
    clipboard_ = XInternAtom(display_, selection, False);
    targets_ = XInternAtom(display_, "TARGETS", False);
    incr_ = XInternAtom(display_, "INCR", False);
    property_ = XInternAtom(display_, "PASTRIX_SELECTION", False);
    XFlush(display_);
}

SelectionReader::~SelectionReader() {
    if (display_ != nullptr) {
        XDestroyWindow(display_, window_);
        XCloseDisplay(display_);
        XErrorTrap::stopIgnoring(display_);
    }
}

Window SelectionReader::owner() {
    std::lock_guard lock(mutex_);
    return display_ == nullptr ? None : XGetSelectionOwner(display_, clipboard_);
}

bool SelectionReader::waitForEvent(Bool (*matches)(Display*, XEvent*, XPointer), XPointer argument,
                                   Clock::time_point deadline, XEvent& event) {
    XFlush(display_);
    for (;;) {
        longestQueue_ = std::max(longestQueue_, static_cast<std::size_t>(XQLength(display_)));
        if (XCheckIfEvent(display_, &event, matches, argument)) {
            return true;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            return false;
        }
        pollfd wait{ConnectionNumber(display_), POLLIN, 0};
        ::poll(&wait, 1, static_cast<int>(left));
    }
}

std::optional<SelectionReader::Property> SelectionReader::readProperty(bool remove) {
    Property property;
    long offset = 0;
    for (;;) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display_, window_, property_, offset, PieceLength, False,
                               AnyPropertyType, &type, &format, &count, &after,
                               &data) != XlibSuccess) {
            return std::nullopt;
        }
        if (type == None) {
            if (data != nullptr) {
                XFree(data);
            }
            return std::nullopt;
        }
        property.type = type;
        property.format = format;
        if (format == 8) {
            property.bytes.append(reinterpret_cast<const char*>(data), count);
        } else if (format == 16) {
            // 16-bit items come back as shorts.
            for (unsigned long i = 0; i < count; ++i) {
                const auto item = static_cast<std::uint16_t>(reinterpret_cast<short*>(data)[i]);
                property.bytes.append(reinterpret_cast<const char*>(&item), sizeof item);
            }
        } else if (format == 32) {
            // 32-bit items come back as longs.
            for (unsigned long i = 0; i < count; ++i) {
                const auto item = static_cast<std::uint32_t>(reinterpret_cast<long*>(data)[i]);
                property.bytes.append(reinterpret_cast<const char*>(&item), sizeof item);
            }
        }
        XFree(data);
        offset += static_cast<long>(count * static_cast<unsigned long>(format / 8) / 4);
        if (after == 0 || count == 0) {
            break;
        }
    }
    if (remove) {
        XDeleteProperty(display_, window_, property_);
        XFlush(display_);
    }
    return property;
}

std::optional<SelectionReader::Property> SelectionReader::convert(Atom target, int& error) {
    lastSteps_ = 0;
    longestQueue_ = 0;
    // Leftovers of an earlier request that timed out must not be taken for this answer.
    XDeleteProperty(display_, window_, property_);
    XSync(display_, False);
    XEvent stale;
    while (XCheckTypedWindowEvent(display_, window_, SelectionNotify, &stale) ||
           XCheckTypedWindowEvent(display_, window_, PropertyNotify, &stale)) {
    }
    pendingTarget_ = target;
    XConvertSelection(display_, clipboard_, target, property_, window_, CurrentTime);
    const auto isAnswer = [](Display*, XEvent* event, XPointer self) -> Bool {
        const auto* reader = reinterpret_cast<const SelectionReader*>(self);
        return event->type == SelectionNotify && event->xselection.requestor == reader->window_ &&
               event->xselection.selection == reader->clipboard_ &&
               event->xselection.target == reader->pendingTarget_;
    };
    XEvent answer;
    if (!waitForEvent(isAnswer, reinterpret_cast<XPointer>(this), Clock::now() + AnswerWait,
                      answer)) {
        error = error::Timeout;
        return std::nullopt;
    }
    if (answer.xselection.property == None) {
        error = error::InvalidData;
        return std::nullopt;
    }
    // Property events up to the answer belong to the owner's first write and our own delete.
    while (XCheckTypedWindowEvent(display_, window_, PropertyNotify, &stale)) {
    }
    std::optional<Property> value = readProperty(true);
    if (!value) {
        error = error::InvalidData;
        return std::nullopt;
    }
    if (value->type != incr_) {
        return value;
    }
    // INCR: deleting the property asked for the first step; each step is a new value of it,
    // and an empty one ends the transfer. Every step also brings the notification of our own
    // delete: those are taken off the queue as they come, or the queue would grow with the
    // transfer and every look for the next step would scan it all.
    Property whole;
    const auto isStepEvent = [](Display*, XEvent* event, XPointer self) -> Bool {
        const auto* reader = reinterpret_cast<const SelectionReader*>(self);
        return event->type == PropertyNotify && event->xproperty.window == reader->window_ &&
               event->xproperty.atom == reader->property_;
    };
    for (;;) {
        XEvent step;
        if (!waitForEvent(isStepEvent, reinterpret_cast<XPointer>(this), Clock::now() + StepWait,
                          step)) {
            error = error::Timeout;
            return std::nullopt;
        }
        if (step.xproperty.state != PropertyNewValue) {
            continue;
        }
        std::optional<Property> piece = readProperty(true);
        if (!piece) {
            continue;
        }
        ++lastSteps_;
        if (piece->bytes.empty()) {
            break;
        }
        if (whole.bytes.size() + piece->bytes.size() > LargestTarget) {
            error = error::NotEnoughMemory;
            return std::nullopt;
        }
        whole.type = piece->type;
        whole.format = piece->format;
        whole.bytes += piece->bytes;
    }
    return whole;
}

SelectionReader::Transfer SelectionReader::lastTransfer() {
    std::lock_guard lock(mutex_);
    return {lastSteps_, longestQueue_};
}

std::optional<std::vector<std::string>> SelectionReader::targets(int& error) {
    std::lock_guard lock(mutex_);
    if (display_ == nullptr) {
        error = error::NotSupported;
        return std::nullopt;
    }
    std::optional<Property> list = convert(targets_, error);
    if (!list) {
        return std::nullopt;
    }
    if (list->format != 32) {
        error = error::InvalidData;
        return std::nullopt;
    }
    std::vector<std::string> names;
    for (std::size_t at = 0; at + 4 <= list->bytes.size(); at += 4) {
        std::uint32_t atom = 0;
        std::memcpy(&atom, list->bytes.data() + at, sizeof atom);
        // An atom the X server does not know (a broken owner) is passed over.
        char* name = atom == None ? nullptr : XGetAtomName(display_, atom);
        if (name != nullptr) {
            if (std::find(names.begin(), names.end(), name) == names.end()) {
                names.emplace_back(name);
            }
            XFree(name);
        }
    }
    return names;
}

std::optional<std::string> SelectionReader::read(const std::string& target, int& error) {
    std::lock_guard lock(mutex_);
    if (display_ == nullptr) {
        error = error::NotSupported;
        return std::nullopt;
    }
    std::optional<Property> value = convert(XInternAtom(display_, target.c_str(), False), error);
    if (!value) {
        return std::nullopt;
    }
    return std::move(value->bytes);
}

}  // namespace os::x11
