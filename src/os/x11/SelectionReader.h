#pragma once

// Before Xlib, whose Success macro would hide the error code of that name.
#include "os/ErrorCodes.h"

#include <X11/Xlib.h>
#include <chrono>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace os::x11 {

// Reads the CLIPBOARD selection of another client through the X selection protocol, on a
// connection of its own: the list of targets and each target's bytes, INCR transfers included.
// Every wait has a deadline, so an owner that does not answer costs a bounded time.
class SelectionReader {
public:
    using Clock = std::chrono::steady_clock;

    // The selection by its name: CLIPBOARD, or PRIMARY for what the user selected last.
    explicit SelectionReader(const char* selection = "CLIPBOARD");
    ~SelectionReader();
    SelectionReader(const SelectionReader&) = delete;
    SelectionReader& operator=(const SelectionReader&) = delete;

    bool connected() const { return display_ != nullptr; }
    // The window that owns the selection now; None when nobody does.
    Window owner();
    // The names of the targets the owner offers, in its order; nothing when it did not answer,
    // with the program's error code.
    std::optional<std::vector<std::string>> targets(int& error);
    // The bytes of one target; nothing when the owner refused it or did not answer.
    std::optional<std::string> read(const std::string& target, int& error);

    // How the last request went: the INCR steps it took (0 for an answer in one piece) and the
    // most events that waited in the connection's queue while it looked for the next one. The
    // queue must stay short however long the transfer, or every look would cost more.
    struct Transfer {
        std::size_t steps = 0;
        std::size_t longestQueue = 0;
    };
    Transfer lastTransfer();

private:
    struct Property {
        Atom type = None;
        int format = 0;
        std::string bytes;
    };

    std::optional<Property> convert(Atom target, int& error);
    // The property's value (32-bit items as 4 bytes each); nothing when it does not exist.
    std::optional<Property> readProperty(bool remove);
    bool waitForEvent(Bool (*matches)(Display*, XEvent*, XPointer), XPointer argument,
                      Clock::time_point deadline, XEvent& event);

    std::mutex mutex_;
    Display* display_ = nullptr;
    Window window_ = None;
    Atom clipboard_ = None, targets_ = None, incr_ = None, property_ = None;
    Atom pendingTarget_ = None;
    std::size_t lastSteps_ = 0;
    std::size_t longestQueue_ = 0;
};

}  // namespace os::x11
