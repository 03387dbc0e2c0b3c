#pragma once

#include "os/x11/SelectionContent.h"

// Before Xlib, whose Success macro would hide the error code of that name.
#include "os/ErrorCodes.h"

#include <X11/Xlib.h>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace os::x11 {

// Owns the CLIPBOARD selection for the program and serves its content, on a connection and a
// thread of its own, so that other clients are answered while the program is busy: every data
// target, TARGETS, TIMESTAMP, MULTIPLE, and INCR for large data.
class SelectionServer {
public:
    using Clock = std::chrono::steady_clock;
    // The target names a format is offered under; none for a format that X clients have no
    // name for.
    using TargetNames = std::function<std::vector<std::string>(unsigned format)>;

    // What the server has seen since the program last took the selection.
    struct Activity {
        bool owned = false;
        // A client asked for the content that is (or was last) owned.
        bool requested = false;
        Clock::time_point lastRequest{};
        // When another client took the selection over.
        std::optional<Clock::time_point> lostAt;
        std::uint64_t publications = 0;
    };

    // Data above this size is sent in INCR steps.
    static constexpr std::size_t IncrThreshold = 256 * 1024;

    // The selection by its name: CLIPBOARD, or PRIMARY for applications that paste from it.
    explicit SelectionServer(TargetNames targetNames, const char* selection = "CLIPBOARD");
    ~SelectionServer();
    SelectionServer(const SelectionServer&) = delete;
    SelectionServer& operator=(const SelectionServer&) = delete;

    bool connected() const { return display_ != nullptr; }
    Window window() const { return window_; }

    // Takes the selection with the content (no formats: the clipboard is empty but ours). The
    // program's error code when the X server did not give the selection. Transient content
    // carries the mark clipboard histories skip, beside its formats.
    int publish(std::shared_ptr<const SelectionContent> content, bool transient = false);
    // Asks the desktop's clipboard manager, when one runs, to keep what the program owns, so
    // that the user's clipboard outlives the program; serves the manager's requests meanwhile.
    // True when the manager said it is done within the limit.
    bool handOver(std::chrono::milliseconds limit);
    // The content last published, whether or not the selection is still ours.
    std::shared_ptr<const SelectionContent> content() const;
    // Whether the content last published was transient.
    bool transient() const;
    Activity activity() const;
    // Waits until the condition holds for the activity or the deadline passed; the result is
    // the condition's last value.
    bool waitUntil(const std::function<bool(const Activity&)>& condition,
                   Clock::time_point deadline) const;

private:
    struct Served {
        Atom target = None;
        Atom type = None;
        std::shared_ptr<const std::string> bytes;
    };
    // An INCR transfer to one requestor's property.
    struct Transfer {
        Window requestor = None;
        Atom property = None;
        Atom type = None;
        std::shared_ptr<const std::string> bytes;
        std::size_t offset = 0;
        Clock::time_point lastProgress;
    };

    void run();
    void runCommands();
    void handle(XEvent& event);
    void handleRequest(const XSelectionRequestEvent& request);
    // Writes one target to the requestor's property; false when it cannot be given.
    bool serveTarget(Window requestor, Atom target, Atom property);
    void serveMultiple(Window requestor, Atom property, bool& any);
    void continueTransfer(Window requestor, Atom property);
    void dropTransfersTo(Window requestor);
    void expireTransfers();
    int takeSelection(std::shared_ptr<const SelectionContent> content, bool transient);
    std::optional<Time> serverTime();
    void wake();

    TargetNames targetNames_;
    Display* display_ = nullptr;
    Window window_ = None;
    int fixesEvent_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::size_t chunkSize_ = 0;
    Atom clipboard_ = None, targets_ = None, timestamp_ = None, multiple_ = None, incr_ = None,
         atomPair_ = None, utf8_ = None, timeProperty_ = None, manager_ = None, saveTargets_ = None;

    // Used by the serving thread only.
    std::vector<Served> served_;
    Time ownedSince_ = CurrentTime;
    std::vector<Transfer> transfers_;
    // Told when the clipboard manager answers a hand-over.
    std::shared_ptr<std::promise<bool>> handOver_;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::deque<std::function<void()>> commands_;
    bool stopping_ = false;
    Activity activity_;
    std::shared_ptr<const SelectionContent> content_;
    bool transient_ = false;

    std::thread thread_;
};

}  // namespace os::x11
