#pragma once

#include "os/x11/SelectionConnection.h"

namespace os::x11 {

// The selection reader's connection to the X server: a display and a hidden window of its own,
// whose protocol errors are dropped (an owner may destroy its window at any moment).
class XSelectionConnection final : public SelectionConnection {
public:
    XSelectionConnection();
    ~XSelectionConnection() override;
    XSelectionConnection(const XSelectionConnection&) = delete;
    XSelectionConnection& operator=(const XSelectionConnection&) = delete;

    bool connected() const override { return display_ != nullptr; }
    Window window() const override { return window_; }
    Atom atom(const char* name) override;
    std::optional<std::string> atomName(Atom atom) override;
    Window owner(Atom selection) override;
    void convert(Atom selection, Atom target, Atom property) override;
    std::optional<Piece> property(Atom property, long offset, long length) override;
    void deleteProperty(Atom property) override;
    void flush() override;
    void sync() override;
    bool takeEvent(const std::function<bool(const XEvent&)>& matches, XEvent& event) override;
    std::size_t queued() override;
    void waitForInput(Clock::time_point deadline) override;
    Clock::time_point now() override { return Clock::now(); }

private:
    Display* display_ = nullptr;
    Window window_ = None;
};

}  // namespace os::x11
