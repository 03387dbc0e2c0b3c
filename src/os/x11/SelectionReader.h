#pragma once

#include "os/x11/SelectionConnection.h"

#include <chrono>
#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace os::x11 {

// Reads the CLIPBOARD selection of another client through the X selection protocol, on a
// connection of its own: the list of targets and each target's bytes, INCR transfers included.
// Every wait has a deadline, and a whole transfer has one too, so an owner that does not
// answer, or answers a byte at a time, costs a bounded time.
class SelectionReader {
public:
    using Clock = SelectionConnection::Clock;

    // The selection by its name: CLIPBOARD, or PRIMARY for what the user selected last.
    explicit SelectionReader(const char* selection = "CLIPBOARD");
    SelectionReader(std::unique_ptr<SelectionConnection> connection, const char* selection);
    ~SelectionReader();
    SelectionReader(const SelectionReader&) = delete;
    SelectionReader& operator=(const SelectionReader&) = delete;

    bool connected() const { return connection_->connected(); }
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
    // The property's value (32-bit items as 4 bytes each); nothing, with the error, when it
    // does not exist or is too large.
    std::optional<Property> readProperty(bool remove, int& error);
    bool waitForEvent(const std::function<bool(const XEvent&)>& matches, Clock::time_point deadline,
                      XEvent& event);

    std::mutex mutex_;
    std::unique_ptr<SelectionConnection> connection_;
    Window window_ = None;
    Atom selection_ = None, targets_ = None, incr_ = None, property_ = None;
    std::size_t lastSteps_ = 0;
    std::size_t longestQueue_ = 0;
};

}  // namespace os::x11
