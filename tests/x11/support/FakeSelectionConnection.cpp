#include "support/FakeSelectionConnection.h"

#include <algorithm>

namespace testing_support {

Atom FakeSelectionConnection::atom(const char* name) {
    const auto found = atoms_.find(name);
    if (found != atoms_.end()) {
        return found->second;
    }
    // Past the predefined atoms, as the server numbers them.
    const Atom next = 69 + atoms_.size();
    atoms_.emplace(name, next);
    return next;
}

std::optional<std::string> FakeSelectionConnection::atomName(Atom atom) {
    for (const auto& [name, value] : atoms_) {
        if (value == atom) {
            return name;
        }
    }
    return std::nullopt;
}

void FakeSelectionConnection::convert(Atom selection, Atom target, Atom property) {
    onConvert(selection, target, property);
}

std::optional<os::x11::SelectionConnection::Piece> FakeSelectionConnection::property(Atom property,
                                                                                     long offset,
                                                                                     long length) {
    Piece piece;
    const auto found = properties_.find(property);
    if (found == properties_.end()) {
        return piece;
    }
    const Value& value = found->second;
    const std::size_t start = static_cast<std::size_t>(offset) * 4;
    if (offset < 0 || length < 0 || start > value.bytes.size()) {
        // The server's BadValue.
        return std::nullopt;
    }
    const std::size_t taken =
        std::min(static_cast<std::size_t>(length) * 4, value.bytes.size() - start);
    piece.type = value.type;
    piece.format = value.format;
    piece.bytes = value.bytes.substr(start, taken);
    piece.items = static_cast<unsigned long>(taken / static_cast<std::size_t>(value.format / 8));
    piece.bytesAfter = static_cast<unsigned long>(value.bytes.size() - start - taken);
    return piece;
}

void FakeSelectionConnection::deleteProperty(Atom property) {
    if (properties_.erase(property) != 0) {
        queuePropertyEvent(property, PropertyDelete);
        onDelete();
    }
}

bool FakeSelectionConnection::takeEvent(const std::function<bool(const XEvent&)>& matches,
                                        XEvent& event) {
    const auto found = std::find_if(events_.begin(), events_.end(), matches);
    if (found == events_.end()) {
        return false;
    }
    event = *found;
    events_.erase(found);
    return true;
}

void FakeSelectionConnection::setProperty(Atom property, Atom type, int format, std::string bytes) {
    // The server takes whole items of 8, 16 or 32 bits only.
    if (format != 16 && format != 32) {
        format = 8;
    }
    bytes.resize(bytes.size() - bytes.size() % static_cast<std::size_t>(format / 8));
    properties_[property] = Value{type, format, std::move(bytes)};
    queuePropertyEvent(property, PropertyNewValue);
}

void FakeSelectionConnection::notify(Atom selection, Atom target, Atom property) {
    XEvent event{};
    event.xselection.type = SelectionNotify;
    event.xselection.requestor = Requestor;
    event.xselection.selection = selection;
    event.xselection.target = target;
    event.xselection.property = property;
    events_.push_back(event);
}

void FakeSelectionConnection::queuePropertyEvent(Atom property, int state) {
    XEvent event{};
    event.xproperty.type = PropertyNotify;
    event.xproperty.window = Requestor;
    event.xproperty.atom = property;
    event.xproperty.state = state;
    events_.push_back(event);
}

}  // namespace testing_support
