#pragma once

#include "os/x11/SelectionConnection.h"

#include <deque>
#include <map>
#include <optional>
#include <string>

namespace testing_support {

// An X server and a selection owner in memory, on a clock that moves only when the reader
// waits: the owner's side is what a subclass does when the reader converts, deletes its
// property or waits. Properties are sliced as the X server slices them.
class FakeSelectionConnection : public os::x11::SelectionConnection {
public:
    static constexpr Window Requestor = 0x200001;
    static constexpr Window Owner = 0x400001;

    bool connected() const override { return true; }
    Window window() const override { return Requestor; }
    Atom atom(const char* name) override;
    std::optional<std::string> atomName(Atom atom) override;
    Window owner(Atom) override { return Owner; }
    void convert(Atom selection, Atom target, Atom property) override;
    std::optional<Piece> property(Atom property, long offset, long length) override;
    void deleteProperty(Atom property) override;
    void flush() override {}
    void sync() override {}
    bool takeEvent(const std::function<bool(const XEvent&)>& matches, XEvent& event) override;
    std::size_t queued() override { return events_.size(); }
    void waitForInput(Clock::time_point deadline) override { onWait(deadline); }
    Clock::time_point now() override { return now_; }

protected:
    // The owner's answers.
    virtual void onConvert(Atom selection, Atom target, Atom property) = 0;
    virtual void onDelete() {}
    // Nothing arrives unless a subclass makes it: the wait lasts until the deadline.
    virtual void onWait(Clock::time_point deadline) { now_ = deadline; }

    // What the owner does through the server: write the reader's property (the reader is told
    // of the new value) and tell the reader the conversion is done.
    void setProperty(Atom property, Atom type, int format, std::string bytes);
    void notify(Atom selection, Atom target, Atom property);

    Clock::time_point now_{};

private:
    struct Value {
        Atom type = None;
        int format = 8;
        std::string bytes;
    };
    void queuePropertyEvent(Atom property, int state);

    std::map<std::string, Atom> atoms_;
    std::map<Atom, Value> properties_;
    std::deque<XEvent> events_;
};

}  // namespace testing_support
