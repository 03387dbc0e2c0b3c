#pragma once

// Before Xlib, whose Success macro would hide the error code of that name.
#include "os/ErrorCodes.h"

#include <X11/Xlib.h>
#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace os::x11 {

// What the selection reader asks of its X connection. Behind it the reader's handling of
// whatever an owner answers is tested and fuzzed without an X server, on a clock of the test's
// own; XSelectionConnection is the real one.
class SelectionConnection {
public:
    using Clock = std::chrono::steady_clock;

    // One piece of a property's value: its items as bytes (16- and 32-bit items as 2 and 4
    // bytes each, whatever Xlib hands out), how many items that is, and how many bytes the
    // server still holds after them.
    struct Piece {
        Atom type = None;
        int format = 0;
        unsigned long items = 0;
        unsigned long bytesAfter = 0;
        std::string bytes;
    };

    virtual ~SelectionConnection() = default;

    virtual bool connected() const = 0;
    // The reader's own window: answers and property changes come to it.
    virtual Window window() const = 0;
    virtual Atom atom(const char* name) = 0;
    // The name of an atom; nothing for one the server does not know.
    virtual std::optional<std::string> atomName(Atom atom) = 0;
    virtual Window owner(Atom selection) = 0;
    // Asks the owner of the selection to put the target into the reader's property.
    virtual void convert(Atom selection, Atom target, Atom property) = 0;
    // Up to length 32-bit units of the reader's property from offset (in 32-bit units): a
    // piece of type None when there is no such property, nothing when the request failed.
    virtual std::optional<Piece> property(Atom property, long offset, long length) = 0;
    virtual void deleteProperty(Atom property) = 0;
    // Sends what is buffered.
    virtual void flush() = 0;
    // Sends what is buffered and waits until the server has handled it all.
    virtual void sync() = 0;
    // Takes the first queued event that matches off the queue, without waiting.
    virtual bool takeEvent(const std::function<bool(const XEvent&)>& matches, XEvent& event) = 0;
    // How many events wait in the queue.
    virtual std::size_t queued() = 0;
    // Returns when input arrives from the server or the deadline passes.
    virtual void waitForInput(Clock::time_point deadline) = 0;
    virtual Clock::time_point now() = 0;
};

}  // namespace os::x11
