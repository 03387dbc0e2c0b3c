#include "os/x11/SelectionReader.h"

#include "os/ErrorCodes.h"
#include "os/x11/XSelectionConnection.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace os::x11 {

namespace {

constexpr auto AnswerWait = std::chrono::seconds(1);
// The longest pause between two INCR steps before the owner counts as gone.
constexpr auto StepWait = std::chrono::seconds(2);
// The longest a whole transfer may take: an owner that sends a few bytes just before each
// step's deadline would otherwise hold the reader for as long as it likes.
constexpr auto TransferWait = std::chrono::seconds(30);
// More than this from one target is refused rather than taking all the program's memory: an
// owner may announce or send without end.
constexpr std::size_t LargestTarget = std::size_t{512} * 1024 * 1024;
// Properties are read in pieces of this many 32-bit units.
constexpr long PieceLength = 1 << 20;

}  // namespace

SelectionReader::SelectionReader(const char* selection)
    : SelectionReader(std::make_unique<XSelectionConnection>(), selection) {}

SelectionReader::SelectionReader(std::unique_ptr<SelectionConnection> connection,
                                 const char* selection)
    : connection_(std::move(connection)) {
    if (!connection_->connected()) {
        return;
    }
    window_ = connection_->window();
    selection_ = connection_->atom(selection);
    targets_ = connection_->atom("TARGETS");
    incr_ = connection_->atom("INCR");
    property_ = connection_->atom("PASTRIX_SELECTION");
    connection_->flush();
}

SelectionReader::~SelectionReader() = default;

Window SelectionReader::owner() {
    std::lock_guard lock(mutex_);
    return connection_->connected() ? connection_->owner(selection_) : None;
}

bool SelectionReader::waitForEvent(const std::function<bool(const XEvent&)>& matches,
                                   Clock::time_point deadline, XEvent& event) {
    connection_->flush();
    for (;;) {
        longestQueue_ = std::max(longestQueue_, connection_->queued());
        if (connection_->takeEvent(matches, event)) {
            return true;
        }
        if (connection_->now() >= deadline) {
            return false;
        }
        connection_->waitForInput(deadline);
    }
}

std::optional<SelectionReader::Property> SelectionReader::readProperty(bool remove, int& error) {
    Property property;
    long offset = 0;
    for (;;) {
        std::optional<SelectionConnection::Piece> piece =
            connection_->property(property_, offset, PieceLength);
        if (!piece || piece->type == None) {
            error = error::InvalidData;
            return std::nullopt;
        }
        property.type = piece->type;
        property.format = piece->format;
        if (property.bytes.size() + piece->bytes.size() > LargestTarget) {
            error = error::NotEnoughMemory;
            return std::nullopt;
        }
        property.bytes += piece->bytes;
        if (piece->bytesAfter == 0 || piece->items == 0) {
            break;
        }
        // The next piece starts where this one ended, counted in 32-bit units; a piece that
        // does not end on one cannot be followed by more.
        if (piece->bytes.empty() || piece->bytes.size() % 4 != 0) {
            error = error::InvalidData;
            return std::nullopt;
        }
        offset += static_cast<long>(piece->bytes.size() / 4);
    }
    if (remove) {
        connection_->deleteProperty(property_);
        connection_->flush();
    }
    return property;
}

std::optional<SelectionReader::Property> SelectionReader::convert(Atom target, int& error) {
    lastSteps_ = 0;
    longestQueue_ = 0;
    const auto isOwnEvent = [this](const XEvent& event) {
        return (event.type == SelectionNotify && event.xselection.requestor == window_) ||
               (event.type == PropertyNotify && event.xproperty.window == window_);
    };
    // Leftovers of an earlier request that timed out must not be taken for this answer.
    connection_->deleteProperty(property_);
    connection_->sync();
    XEvent stale;
    while (connection_->takeEvent(isOwnEvent, stale)) {
    }
    connection_->convert(selection_, target, property_);
    const auto isAnswer = [this, target](const XEvent& event) {
        return event.type == SelectionNotify && event.xselection.requestor == window_ &&
               event.xselection.selection == selection_ && event.xselection.target == target;
    };
    const Clock::time_point started = connection_->now();
    XEvent answer;
    if (!waitForEvent(isAnswer, started + AnswerWait, answer)) {
        error = error::Timeout;
        return std::nullopt;
    }
    if (answer.xselection.property == None) {
        error = error::InvalidData;
        return std::nullopt;
    }
    // Property events up to the answer belong to the owner's first write and our own delete.
    const auto isPropertyEvent = [this](const XEvent& event) {
        return event.type == PropertyNotify && event.xproperty.window == window_;
    };
    while (connection_->takeEvent(isPropertyEvent, stale)) {
    }
    std::optional<Property> value = readProperty(true, error);
    if (!value) {
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
    const auto isStepEvent = [this](const XEvent& event) {
        return event.type == PropertyNotify && event.xproperty.window == window_ &&
               event.xproperty.atom == property_;
    };
    const Clock::time_point transferDeadline = started + TransferWait;
    for (;;) {
        XEvent step;
        if (!waitForEvent(isStepEvent, std::min(connection_->now() + StepWait, transferDeadline),
                          step)) {
            error = error::Timeout;
            return std::nullopt;
        }
        if (step.xproperty.state != PropertyNewValue) {
            continue;
        }
        int pieceError = 0;
        std::optional<Property> piece = readProperty(true, pieceError);
        if (!piece) {
            if (pieceError == error::NotEnoughMemory) {
                error = pieceError;
                return std::nullopt;
            }
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
    if (!connection_->connected()) {
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
        std::optional<std::string> name = connection_->atomName(atom);
        if (name && std::find(names.begin(), names.end(), *name) == names.end()) {
            names.push_back(std::move(*name));
        }
    }
    return names;
}

std::optional<std::string> SelectionReader::read(const std::string& target, int& error) {
    std::lock_guard lock(mutex_);
    if (!connection_->connected()) {
        error = error::NotSupported;
        return std::nullopt;
    }
    std::optional<Property> value = convert(connection_->atom(target.c_str()), error);
    if (!value) {
        return std::nullopt;
    }
    return std::move(value->bytes);
}

}  // namespace os::x11
