#include "os/x11/SelectionServer.h"

#include "os/Clipboard.h"
#include "os/ErrorCodes.h"
#include "os/common/ClipboardMarks.h"
#include "os/x11/X11ErrorTrap.h"

#include <X11/Xatom.h>
#include <X11/extensions/Xfixes.h>
#include <algorithm>
#include <fcntl.h>
#include <future>
#include <poll.h>
#include <unistd.h>

// Xlib's macro of this name would hide the program's error code.
#undef Success

namespace {
constexpr int XlibSuccess = 0;
}  // namespace

namespace os::x11 {

namespace {

// A requestor that stops taking INCR steps for this long has gone away.
constexpr auto StalledTransfer = std::chrono::seconds(5);
constexpr auto ServerTimeWait = std::chrono::seconds(1);
constexpr auto CommandWait = std::chrono::seconds(3);

int millisecondsUntil(SelectionServer::Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - SelectionServer::Clock::now());
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, left.count()));
}

// X times are 32-bit milliseconds that wrap; a is before b when b is less than half the range
// ahead.
bool isBefore(Time a, Time b) {
    return static_cast<std::uint32_t>(b - a) != 0 &&
           static_cast<std::uint32_t>(b - a) < 0x80000000u;
}

}  // namespace

SelectionServer::SelectionServer(TargetNames targetNames, const char* selection)
    : targetNames_(std::move(targetNames)) {
    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) {
        return;
    }
    X11ErrorTrap::ignoreErrorsOn(display_);
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), -10, -10, 1, 1, 0, 0, 0);
    XSelectInput(display_, window_, PropertyChangeMask);
    clipboard_ = XInternAtom(display_, selection, False);
    targets_ = XInternAtom(display_, "TARGETS", False);
    timestamp_ = XInternAtom(display_, "TIMESTAMP", False);
    multiple_ = XInternAtom(display_, "MULTIPLE", False);
    incr_ = XInternAtom(display_, "INCR", False);
    atomPair_ = XInternAtom(display_, "ATOM_PAIR", False);
    utf8_ = XInternAtom(display_, "UTF8_STRING", False);
    timeProperty_ = XInternAtom(display_, "PASTRIX_SELECTION_TIME", False);
    manager_ = XInternAtom(display_, "CLIPBOARD_MANAGER", False);
    saveTargets_ = XInternAtom(display_, "SAVE_TARGETS", False);
    int fixesError = 0;
    if (XFixesQueryExtension(display_, &fixesEvent_, &fixesError)) {
        XFixesSelectSelectionInput(display_, window_, clipboard_,
                                   XFixesSetSelectionOwnerNotifyMask);
    } else {
        fixesEvent_ = -1;
    }
    // One property change must fit in one request.
    const long longs = XExtendedMaxRequestSize(display_) > 0 ? XExtendedMaxRequestSize(display_)
                                                             : XMaxRequestSize(display_);
    chunkSize_ = std::min<std::size_t>(IncrThreshold, static_cast<std::size_t>(longs) * 4 - 256);
    XFlush(display_);

    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) {
        // Without a way to wake the serving thread the program could not take the selection.
        XDestroyWindow(display_, window_);
        X11ErrorTrap::stopIgnoring(display_);
        XCloseDisplay(display_);
        display_ = nullptr;
        return;
    }
    wakeRead_ = pipeEnds[0];
    wakeWrite_ = pipeEnds[1];
    thread_ = std::thread([this] { run(); });
}

SelectionServer::~SelectionServer() {
    if (display_ == nullptr) {
        return;
    }
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake();
    thread_.join();
    XDestroyWindow(display_, window_);
    X11ErrorTrap::stopIgnoring(display_);
    XCloseDisplay(display_);
    ::close(wakeRead_);
    ::close(wakeWrite_);
}

void SelectionServer::wake() {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeWrite_, &byte, 1);
}

void SelectionServer::run() {
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (stopping_) {
                break;
            }
        }
        runCommands();
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            handle(event);
        }
        expireTransfers();
        XFlush(display_);
        pollfd waits[2] = {{ConnectionNumber(display_), POLLIN, 0}, {wakeRead_, POLLIN, 0}};
        ::poll(waits, 2, transfers_.empty() ? -1 : 1000);
        char drained[64];
        while (::read(wakeRead_, drained, sizeof drained) > 0) {
        }
    }
}

void SelectionServer::runCommands() {
    std::deque<std::function<void()>> commands;
    {
        std::lock_guard lock(mutex_);
        commands.swap(commands_);
    }
    for (auto& command : commands) {
        command();
    }
}

int SelectionServer::publish(std::shared_ptr<const SelectionContent> content, bool transient) {
    if (display_ == nullptr) {
        return error::NotSupported;
    }
    auto result = std::make_shared<std::promise<int>>();
    std::future<int> done = result->get_future();
    {
        std::lock_guard lock(mutex_);
        commands_.push_back([this, content = std::move(content), transient, result]() mutable {
            result->set_value(takeSelection(std::move(content), transient));
        });
    }
    wake();
    if (done.wait_for(CommandWait) != std::future_status::ready) {
        return error::Timeout;
    }
    return done.get();
}

bool SelectionServer::handOver(std::chrono::milliseconds limit) {
    if (display_ == nullptr) {
        return false;
    }
    auto answered = std::make_shared<std::promise<bool>>();
    std::future<bool> done = answered->get_future();
    {
        std::lock_guard lock(mutex_);
        commands_.push_back([this, answered] {
            bool owned = false;
            {
                std::lock_guard ownedLock(mutex_);
                owned = activity_.owned;
            }
            if (!owned || XGetSelectionOwner(display_, manager_) == None) {
                answered->set_value(false);
                return;
            }
            // The targets to keep go in a property of the program's window.
            std::vector<long> targets;
            for (const Served& served : served_) {
                targets.push_back(static_cast<long>(served.target));
            }
            XChangeProperty(display_, window_, saveTargets_, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(targets.data()),
                            static_cast<int>(targets.size()));
            XConvertSelection(display_, manager_, saveTargets_, saveTargets_, window_, CurrentTime);
            XFlush(display_);
            handOver_ = answered;
        });
    }
    wake();
    const bool finished = done.wait_for(limit) == std::future_status::ready && done.get();
    // A late answer finds nobody waiting.
    std::lock_guard lock(mutex_);
    commands_.push_back([this] { handOver_.reset(); });
    return finished;
}

std::optional<Time> SelectionServer::serverTime() {
    // A zero-length append changes nothing but tells the X server's time in its notification.
    XChangeProperty(display_, window_, timeProperty_, XA_STRING, 8, PropModeAppend, nullptr, 0);
    XFlush(display_);
    const auto deadline = Clock::now() + ServerTimeWait;
    const auto isTimeNotify = [](Display*, XEvent* event, XPointer self) -> Bool {
        const auto* server = reinterpret_cast<const SelectionServer*>(self);
        return event->type == PropertyNotify && event->xproperty.window == server->window_ &&
               event->xproperty.atom == server->timeProperty_;
    };
    for (;;) {
        XEvent event;
        if (XCheckIfEvent(display_, &event, isTimeNotify, reinterpret_cast<XPointer>(this))) {
            return event.xproperty.time;
        }
        const int left = millisecondsUntil(deadline);
        if (left == 0) {
            return std::nullopt;
        }
        pollfd wait{ConnectionNumber(display_), POLLIN, 0};
        ::poll(&wait, 1, left);
    }
}

int SelectionServer::takeSelection(std::shared_ptr<const SelectionContent> content,
                                   bool transient) {
    const std::optional<Time> now = serverTime();
    if (!now) {
        return error::Timeout;
    }
    std::vector<Served> served;
    for (const SelectionFormat& format : *content) {
        std::shared_ptr<const std::string> bytes = format.bytes;
        if (format.format == cf::Text && !bytes->empty() && bytes->back() == '\0') {
            // Text blocks may end in the zero of the system they came from; X text has none.
            std::string text = *bytes;
            text.erase(text.find_last_not_of('\0') + 1);
            bytes = std::make_shared<const std::string>(std::move(text));
        }
        for (const std::string& name : targetNames_(format.format)) {
            const Atom target = XInternAtom(display_, name.c_str(), False);
            const bool taken = std::any_of(served.begin(), served.end(),
                                           [&](const Served& s) { return s.target == target; });
            if (!taken && target != targets_ && target != timestamp_ && target != multiple_) {
                served.push_back({target, name == "TEXT" ? utf8_ : target, bytes});
            }
        }
    }
    if (transient) {
        const Atom hint = XInternAtom(display_, common::ClipboardMarks::X11Hint, False);
        static const auto value =
            std::make_shared<const std::string>(common::ClipboardMarks::X11HintValue);
        served.erase(std::remove_if(served.begin(), served.end(),
                                    [hint](const Served& s) { return s.target == hint; }),
                     served.end());
        served.push_back({hint, hint, value});
    }
    XSetSelectionOwner(display_, clipboard_, window_, *now);
    if (XGetSelectionOwner(display_, clipboard_) != window_) {
        return error::AccessDenied;
    }
    served_ = std::move(served);
    ownedSince_ = *now;
    std::lock_guard lock(mutex_);
    content_ = std::move(content);
    transient_ = transient;
    activity_.owned = true;
    activity_.requested = false;
    activity_.lostAt.reset();
    ++activity_.publications;
    changed_.notify_all();
    return error::Success;
}

void SelectionServer::handle(XEvent& event) {
    if (event.type == SelectionRequest) {
        handleRequest(event.xselectionrequest);
    } else if (event.type == SelectionClear) {
        const XSelectionClearEvent& clear = event.xselectionclear;
        // A clear older than the ownership taken since belongs to an earlier ownership.
        if (clear.window == window_ && clear.selection == clipboard_ &&
            !isBefore(clear.time, ownedSince_)) {
            std::lock_guard lock(mutex_);
            if (activity_.owned) {
                activity_.owned = false;
                activity_.lostAt = Clock::now();
                changed_.notify_all();
            }
        }
    } else if (event.type == PropertyNotify) {
        if (event.xproperty.window != window_ && event.xproperty.state == PropertyDelete) {
            continueTransfer(event.xproperty.window, event.xproperty.atom);
        }
    } else if (event.type == SelectionNotify) {
        if (event.xselection.selection == manager_ && handOver_) {
            // The manager answers when it has fetched what it keeps.
            handOver_->set_value(true);
            handOver_.reset();
        }
    } else if (event.type == DestroyNotify) {
        dropTransfersTo(event.xdestroywindow.window);
    } else if (fixesEvent_ >= 0 && event.type == fixesEvent_ + XFixesSelectionNotify) {
        const auto& notify = reinterpret_cast<const XFixesSelectionNotifyEvent&>(event);
        if (notify.selection == clipboard_ && notify.owner != window_ &&
            !isBefore(notify.selection_timestamp, ownedSince_)) {
            std::lock_guard lock(mutex_);
            if (activity_.owned) {
                activity_.owned = false;
                activity_.lostAt = Clock::now();
                changed_.notify_all();
            }
        }
    }
}

void SelectionServer::handleRequest(const XSelectionRequestEvent& request) {
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.display = display_;
    reply.requestor = request.requestor;
    reply.selection = request.selection;
    reply.target = request.target;
    reply.time = request.time;
    reply.property = None;
    // Clients older than the conventions name no property: the target names it then.
    const Atom property = request.property == None ? request.target : request.property;
    bool owned = false;
    {
        std::lock_guard lock(mutex_);
        owned = activity_.owned;
    }
    const bool timely = request.time == CurrentTime || !isBefore(request.time, ownedSince_);
    if (request.selection == clipboard_ && request.owner == window_ && owned && timely) {
        bool given = false;
        if (request.target == multiple_) {
            if (request.property != None) {
                serveMultiple(request.requestor, request.property, given);
            }
        } else {
            given = serveTarget(request.requestor, request.target, property);
        }
        if (given) {
            reply.property = property;
        }
        std::lock_guard lock(mutex_);
        activity_.requested = true;
        activity_.lastRequest = Clock::now();
        changed_.notify_all();
    }
    XSendEvent(display_, request.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
    XFlush(display_);
}

bool SelectionServer::serveTarget(Window requestor, Atom target, Atom property) {
    if (target == targets_) {
        std::vector<long> atoms = {static_cast<long>(targets_), static_cast<long>(timestamp_),
                                   static_cast<long>(multiple_)};
        for (const Served& served : served_) {
            atoms.push_back(static_cast<long>(served.target));
        }
        XChangeProperty(display_, requestor, property, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(atoms.data()),
                        static_cast<int>(atoms.size()));
        return true;
    }
    if (target == timestamp_) {
        const long time = static_cast<long>(ownedSince_);
        XChangeProperty(display_, requestor, property, XA_INTEGER, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&time), 1);
        return true;
    }
    const auto found = std::find_if(served_.begin(), served_.end(),
                                    [&](const Served& served) { return served.target == target; });
    if (found == served_.end()) {
        return false;
    }
    const std::string& bytes = *found->bytes;
    if (bytes.size() > chunkSize_) {
        // Large data goes in steps: the requestor deletes the property for each next one.
        XSelectInput(display_, requestor, PropertyChangeMask | StructureNotifyMask);
        const long size = static_cast<long>(bytes.size());
        XChangeProperty(display_, requestor, property, incr_, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&size), 1);
        transfers_.erase(std::remove_if(transfers_.begin(), transfers_.end(),
                                        [&](const Transfer& t) {
                                            return t.requestor == requestor &&
                                                   t.property == property;
                                        }),
                         transfers_.end());
        transfers_.push_back({requestor, property, found->type, found->bytes, 0, Clock::now()});
        return true;
    }
    XChangeProperty(display_, requestor, property, found->type, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(bytes.data()),
                    static_cast<int>(bytes.size()));
    return true;
}

void SelectionServer::serveMultiple(Window requestor, Atom property, bool& any) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, requestor, property, 0, 0x10000, False, AnyPropertyType, &type,
                           &format, &count, &after, &data) != XlibSuccess) {
        return;
    }
    if (data == nullptr || format != 32) {
        if (data != nullptr) {
            XFree(data);
        }
        return;
    }
    // 32-bit properties come back as longs.
    std::vector<long> pairs(reinterpret_cast<const long*>(data),
                            reinterpret_cast<const long*>(data) + count - count % 2);
    XFree(data);
    for (std::size_t i = 0; i < pairs.size(); i += 2) {
        const auto target = static_cast<Atom>(pairs[i]);
        const auto into = static_cast<Atom>(pairs[i + 1]);
        if (target == multiple_ || into == None || !serveTarget(requestor, target, into)) {
            pairs[i] = None;
        }
    }
    XChangeProperty(display_, requestor, property, type == None ? atomPair_ : type, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(pairs.data()),
                    static_cast<int>(pairs.size()));
    any = true;
}

void SelectionServer::continueTransfer(Window requestor, Atom property) {
    const auto found = std::find_if(transfers_.begin(), transfers_.end(), [&](const Transfer& t) {
        return t.requestor == requestor && t.property == property;
    });
    if (found == transfers_.end()) {
        return;
    }
    const std::string& bytes = *found->bytes;
    const std::size_t size = std::min(chunkSize_, bytes.size() - found->offset);
    XChangeProperty(display_, requestor, property, found->type, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(bytes.data() + found->offset),
                    static_cast<int>(size));
    found->offset += size;
    found->lastProgress = Clock::now();
    if (size == 0) {
        // The empty step ends the transfer.
        transfers_.erase(found);
        if (std::none_of(transfers_.begin(), transfers_.end(),
                         [&](const Transfer& t) { return t.requestor == requestor; })) {
            XSelectInput(display_, requestor, NoEventMask);
        }
    }
}

void SelectionServer::dropTransfersTo(Window requestor) {
    transfers_.erase(std::remove_if(transfers_.begin(), transfers_.end(),
                                    [&](const Transfer& t) { return t.requestor == requestor; }),
                     transfers_.end());
}

void SelectionServer::expireTransfers() {
    const auto now = Clock::now();
    for (auto it = transfers_.begin(); it != transfers_.end();) {
        if (now - it->lastProgress > StalledTransfer) {
            const Window requestor = it->requestor;
            it = transfers_.erase(it);
            if (std::none_of(transfers_.begin(), transfers_.end(),
                             [&](const Transfer& t) { return t.requestor == requestor; })) {
                XSelectInput(display_, requestor, NoEventMask);
            }
        } else {
            ++it;
        }
    }
}

bool SelectionServer::transient() const {
    std::lock_guard lock(mutex_);
    return transient_;
}

std::shared_ptr<const SelectionContent> SelectionServer::content() const {
    std::lock_guard lock(mutex_);
    return content_;
}

SelectionServer::Activity SelectionServer::activity() const {
    std::lock_guard lock(mutex_);
    return activity_;
}

bool SelectionServer::waitUntil(const std::function<bool(const Activity&)>& condition,
                                Clock::time_point deadline) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_until(lock, deadline, [&] { return condition(activity_); });
}

}  // namespace os::x11
