// The hook library on an X11 desktop. X runs no hook procedures inside other programs, so the
// library watches the whole session itself: once a kind of hook is set up, a thread with its
// own connection takes the raw key and button events of XInput2 (every client's input, focus
// and grabs notwithstanding) and the XKB state and mapping changes, keeps the state of every
// virtual key, and posts each event with the state as of that event into the program's queue.
//
// The raw events only watch; the taps that make a Ctrl gesture are taken away from the
// application in front with passive grabs of Ctrl+<slot key> on the root (with Shift and the
// locks), and while the left button is held with grabs of the same keys, whatever the
// modifiers, on the top-level windows the typing goes to. The grabs are on the watcher's
// connection, so they end with the hooks and with the process; the program's own keys pass
// through a gate (os/x11/X11KeyGate).
//
// Typing that comes while a gesture's copy or paste runs must reach the application after
// it, so at the trigger release (Ctrl, the left button) of a gesture whose tap was withheld the
// watcher grabs the whole keyboard and keeps what is typed. The program's own keystrokes go through
// the gate, which sends them from the watcher's connection between letting go and grabbing again,
// with the server held so that no other client's keys come in between. When the program says the
// operation is over (`keyboardReleaseTyping`), or after HoldBound whatever it does, the
// watcher lets go and types the kept keys again with XTEST, the server held once more. The
// program is told of the kept keys by their replay, not when they were typed, so it sees
// them in the application's order: after its own keystrokes (a Ctrl release typed meanwhile
// is not taken for the end of the operation), and a next gesture's taps, replayed, are
// withheld and reported like any others.
//
// What every process must agree on (which kinds of hook are set up, the registered thread) is
// kept in lock files per user and display: a file is locked by the process that set the fact
// up, so it ends with that process, however it ends.

#include "FakeKeyRequest.h"
#include "os/x11/X11KeyMap.h"
#include "os/x11/X11SystemCalls.h"
#include "windows/hook/HookLibrary.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>
#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <dlfcn.h>
#include <fcntl.h>
#include <future>
#include <memory>
#include <mutex>
#include <poll.h>
#include <string>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

#define PASTRIX_HOOK_ENTRY extern "C" __attribute__((visibility("default")))

using windows::hook::DeinitializerFunction;
using windows::hook::GetAttachThreadInputIdFunction;
using windows::hook::InitializerFunction;
using windows::hook::IsInitiatedFunction;
using windows::hook::KeyEventMessage;
using windows::hook::MouseEventMessage;
using windows::hook::ProcedureFunction;
using windows::hook::SetAttachThreadInputIdFunction;

namespace {

using os::x11::X11KeyMap;

constexpr unsigned PacketKey = 0xE7;
constexpr unsigned VkLButton = 0x01;
constexpr unsigned VkRButton = 0x02;
constexpr unsigned VkMButton = 0x04;
constexpr unsigned VkMenu = 0x12;
constexpr unsigned VkCapital = 0x14;
constexpr unsigned VkNumLock = 0x90;
constexpr unsigned VkScroll = 0x91;

// ---- Facts shared between processes -------------------------------------------------------

// A directory only this user can write to.
std::string privateDirectory() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime) {
        struct stat info {};
        if (stat(runtime, &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == getuid()) {
            return runtime;
        }
    }
    const std::string fallback = "/tmp/pastrix-" + std::to_string(getuid());
    mkdir(fallback.c_str(), 0700);
    struct stat info {};
    // Someone else's directory of that name would let them fake or block the facts.
    if (lstat(fallback.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != getuid() ||
        (info.st_mode & 022) != 0) {
        return {};
    }
    return fallback;
}

// The display's name as a file name: ":1.0" is "1", "host:10" is "host_10".
std::string displayTag() {
    std::string name = std::getenv("DISPLAY") != nullptr ? std::getenv("DISPLAY") : "";
    const std::size_t colon = name.rfind(':');
    if (colon != std::string::npos) {
        const std::size_t screen = name.find('.', colon);
        if (screen != std::string::npos) {
            name.resize(screen);
        }
    }
    if (!name.empty() && name[0] == ':') {
        name.erase(0, 1);
    }
    for (char& character : name) {
        const bool plain = (character >= 'a' && character <= 'z') ||
                           (character >= 'A' && character <= 'Z') ||
                           (character >= '0' && character <= '9') || character == '-';
        if (!plain) {
            character = '_';
        }
    }
    return name.empty() ? "none" : name;
}

std::string lockPath(const char* fact) {
    const std::string directory = privateDirectory();
    if (directory.empty()) {
        return {};
    }
    return directory + "/pastrix-" + displayTag() + "-" + fact + ".lock";
}

// A fact this process has set up: its file, locked while the fact holds.
class HeldFact {
public:
    // False when another process holds the fact.
    bool take(const char* fact) {
        if (fd_ >= 0) {
            return true;
        }
        const std::string path = lockPath(fact);
        if (path.empty()) {
            return false;
        }
        // Close-on-exec: programs this process starts must not hold the fact.
        fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd_ < 0) {
            return false;
        }
        if (flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            close(fd_);
            fd_ = -1;
            return false;
        }
        return true;
    }

    void write(const std::string& content) const {
        if (fd_ >= 0 && ftruncate(fd_, 0) == 0) {
            [[maybe_unused]] const ssize_t written = pwrite(fd_, content.data(), content.size(), 0);
        }
    }

    void release() {
        if (fd_ >= 0) {
            close(fd_);  // which ends the lock
            fd_ = -1;
        }
    }

    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// Whether some process holds the fact; its content goes to `content`.
bool isHeldAnywhere(const char* fact, std::string* content = nullptr) {
    const std::string path = lockPath(fact);
    if (path.empty()) {
        return false;
    }
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return false;
    }
    bool held = false;
    if (flock(fd, LOCK_SH | LOCK_NB) == 0) {
        flock(fd, LOCK_UN);  // nobody holds it: a process that held it has ended
    } else if (errno == EWOULDBLOCK) {
        held = true;
        if (content != nullptr) {
            char buffer[32] = {};
            const ssize_t read = pread(fd, buffer, sizeof buffer - 1, 0);
            content->assign(buffer, read > 0 ? static_cast<std::size_t>(read) : 0);
        }
    }
    close(fd);
    return held;
}

// ---- The watcher ---------------------------------------------------------------------------

using PostFunction = int (*)(std::uintptr_t, unsigned int, std::uintptr_t, std::intptr_t,
                             const std::uint8_t*);
using SetKeyGateFunction = void (*)(int (*)(unsigned), void (*)(unsigned),
                                    int (*)(const unsigned*, const unsigned char*, unsigned));

// The longest the keyboard is kept after a gesture: longer than a copy waits for the
// application (1.5 s), and a loaded machine is slow.
constexpr std::chrono::milliseconds HoldBound{5000};

// One kind of hook as this process set it up.
struct Kind {
    const char* fact;
    std::atomic<std::uintptr_t> window{0};
    HeldFact lock;
};

Kind keyboard{"keyboard", {}, {}};
Kind mouse{"mouse", {}, {}};
HeldFact registeredThread;
std::int32_t registeredThreadId = 0;
// Serialises the entries, which the program calls on its own thread.
std::mutex entries;
// The virtual keys (generic ones: Shift, not left Shift) that select a slot; none until the
// program says, so that a program that never does keeps every key its applications'.
std::mutex slotKeysMutex;
std::array<bool, 256> slotKeys{};

class Watcher {
public:
    // Returns once the events are selected, so that nothing typed afterwards is missed.
    Watcher() : wake_(eventfd(0, EFD_CLOEXEC)), thread_([this] { run(); }) {
        ready_.get_future().wait();
    }

    ~Watcher() {
        // Taken back first: the program's input may be passing a key through right now.
        if (setKeyGate_ != nullptr) {
            setKeyGate_(nullptr, nullptr, nullptr);
        }
        gateWatcher.store(nullptr);
        stopping_.store(true);
        wake();
        thread_.join();
        close(wake_);
    }

    // The slot keys or the hook's state changed: the watcher takes its grabs anew, and the
    // call returns once it has (or after a second, should the watcher be stuck).
    void requestRegrab() {
        std::unique_lock lock(regrabMutex_);
        const std::uint64_t wanted = ++regrabsWanted_;
        wake();
        regrabbed_.wait_for(lock, std::chrono::seconds(1),
                            [&] { return regrabsDone_ >= wanted || stopping_.load(); });
    }
    // Drops every grab now, from any thread (the keyboard hook stopped).
    void dropGrabs();
    // The gate of the program's own keys (see X11SystemCalls.h), from the input's thread.
    bool pass(unsigned keycode);
    void restore(unsigned keycode);
    bool sendHeld(const unsigned* keycodes, const unsigned char* presses, unsigned count);
    // The program's operation is over: the kept keys go to the application.
    void releaseTyping() {
        if (holding_.load()) {
            releaseWanted_.store(true);
            wake();
        }
    }

    static int gatePass(unsigned keycode) {
        Watcher* current = gateWatcher.load();
        return current != nullptr && current->pass(keycode) ? 1 : 0;
    }
    static void gateRestore(unsigned keycode) {
        if (Watcher* current = gateWatcher.load()) {
            current->restore(keycode);
        }
    }
    static int gateSendHeld(const unsigned* keycodes, const unsigned char* presses,
                            unsigned count) {
        Watcher* current = gateWatcher.load();
        return current != nullptr && current->sendHeld(keycodes, presses, count) ? 1 : 0;
    }

    Watcher(const Watcher&) = delete;
    Watcher& operator=(const Watcher&) = delete;

private:
    void run();
    void prepare(Display* display);
    void onKey(unsigned keycode, bool released);
    void handle(XEvent& next);
    // During a hold only the raw events of the program's own keystrokes are posted.
    bool isPosted(unsigned keycode, bool released);
    // The server keeps a keyboard's raw events from the client that grabs it, so while one of
    // the watcher's grabs holds the keyboard, the core events it receives stand in for them:
    // told once, and the raw event that comes after all (the release that ends a grab, at
    // times) is passed over.
    void tellFromCore(unsigned keycode, bool released);
    bool toldFromCore(unsigned keycode, bool released);
    // A raw release of a key that is up already.
    bool isRepeatedRelease(unsigned keycode, bool released) const;
    void startHold();
    void fakeKey(unsigned keycode, bool press);
    void keep(const XKeyEvent& event);
    void endHold();
    void onButton(unsigned button, bool released);
    void onXkb(const XkbEvent& event);
    void post(Kind& kind, unsigned int message, std::uintptr_t wParam, std::intptr_t lParam);
    void updateGeneric(unsigned generic, unsigned left, unsigned right);
    void wake() {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(wake_, &one, sizeof one);
    }

    // The modifier sets grabbed with each slot key: Ctrl with Shift and the locks.
    void takeModifierSets();
    // Whether a press of the keycode with Ctrl is a gesture's tap.
    bool wantedGrab(unsigned keycode, const std::array<bool, 256>& slots) const;
    // Brings the grabs in line with the slot keys, the layout and the hook's state.
    void applyGrabs();
    void take(unsigned keycode);
    // While the left button is held every press of a grabbed key is a gesture's tap, with or
    // without modifiers: the keys are taken on the windows the typing goes to.
    void takeForButton();
    void dropButtonGrabs();
    // Grabs the keycode on those windows, or lets it go; the caller holds grabMutex_.
    void onButtonWindows(unsigned keycode, bool grab);

    static inline std::atomic<Watcher*> gateWatcher{nullptr};

    int wake_;
    std::atomic<bool> stopping_{false};
    std::mutex regrabMutex_;
    std::condition_variable regrabbed_;
    std::uint64_t regrabsWanted_ = 0;
    std::uint64_t regrabsDone_ = 0;
    SetKeyGateFunction setKeyGate_ = nullptr;
    Display* display_ = nullptr;
    // The grabs as held, or as `restore` takes them again while the gate passes the key.
    std::mutex grabMutex_;
    std::array<bool, 256> grabs_{};
    std::array<unsigned, 256> passing_{};
    std::vector<unsigned> ctrlSets_;
    // The top-level windows whose keys are taken while the left button is held (the one with
    // the focus, the one under the pointer), and which keycodes.
    std::vector<Window> buttonWindows_;
    std::array<bool, 256> buttonTaken_{};
    // The hold: the watcher's keyboard grab between a gesture's Ctrl release and the end of
    // its operation.
    struct KeptKey {
        unsigned keycode;
        bool released;
    };
    std::atomic<bool> holding_{false};
    std::atomic<bool> releaseWanted_{false};
    std::chrono::steady_clock::time_point holdEnd_;
    std::vector<KeptKey> kept_;
    std::array<bool, 256> keptDown_{};
    // The keys down when the hold began whose release has not come yet.
    std::array<bool, 256> downAtHold_{};
    // Whether a passive grab took a tap since the trigger (Ctrl, the left button) was last
    // released.
    bool tapWithheld_ = false;
    // The program's keystrokes sent during the hold, whose raw events are posted.
    std::deque<KeptKey> own_;
    // The presses and releases told from a core event, whose raw event is passed over.
    std::array<bool, 256> toldPress_{};
    std::array<bool, 256> toldRelease_{};
    // Whether the hold's end holds the server (XGrabServer) right now.
    bool serverHeld_ = false;
    std::promise<void> ready_;
    std::unique_ptr<X11KeyMap> map_;
    PostFunction postMessage_ = nullptr;
    std::array<std::uint8_t, 256> state_{};
    std::array<bool, 256> keycodeDown_{};
    bool numLock_ = false;
    unsigned numLockMask_ = 0;
    unsigned scrollLockMask_ = 0;
    int xiOpcode_ = 0;
    int xtestOpcode_ = 0;
    int xkbEventBase_ = 0;
    std::thread thread_;
};

std::unique_ptr<Watcher> watcher;

void Watcher::run() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        ready_.set_value();
        return;  // nothing to watch
    }
    int event = 0;
    int error = 0;
    // Raw events regardless of grabs (an open menu, a window manager's button grab) came
    // with XInput 2.1.
    int major = 2;
    int minor = 2;
    int xkbMajor = XkbMajorVersion;
    int xkbMinor = XkbMinorVersion;
    int xkbOpcode = 0;
    if (!XQueryExtension(display, "XInputExtension", &xiOpcode_, &event, &error) ||
        !XQueryExtension(display, "XTEST", &xtestOpcode_, &event, &error) ||
        XIQueryVersion(display, &major, &minor) != Success ||
        !XkbQueryExtension(display, &xkbOpcode, &xkbEventBase_, &error, &xkbMajor, &xkbMinor)) {
        XCloseDisplay(display);
        ready_.set_value();
        return;
    }
    postMessage_ = reinterpret_cast<PostFunction>(dlsym(RTLD_DEFAULT, "PastrixPostInputMessage"));
    display_ = display;
    prepare(display);
    applyGrabs();
    setKeyGate_ = reinterpret_cast<SetKeyGateFunction>(dlsym(RTLD_DEFAULT, "PastrixSetKeyGate"));
    if (setKeyGate_ != nullptr) {
        gateWatcher.store(this);
        setKeyGate_(&Watcher::gatePass, &Watcher::gateRestore, &Watcher::gateSendHeld);
    }
    ready_.set_value();

    const int connection = ConnectionNumber(display);
    while (true) {
        while (XPending(display) > 0) {
            XEvent next;
            XNextEvent(display, &next);
            handle(next);
        }
        if (holding_.load() &&
            (releaseWanted_.exchange(false) || std::chrono::steady_clock::now() >= holdEnd_)) {
            endHold();
            continue;  // the replay's events
        }
        int timeout = -1;
        if (holding_.load()) {
            timeout = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                           holdEnd_ - std::chrono::steady_clock::now())
                                           .count()) +
                      1;
        }
        pollfd waiting[2] = {{connection, POLLIN, 0}, {wake_, POLLIN, 0}};
        if (poll(waiting, 2, timeout) < 0 && errno != EINTR) {
            break;
        }
        if ((waiting[1].revents & POLLIN) != 0) {
            std::uint64_t count = 0;
            [[maybe_unused]] const ssize_t read = ::read(wake_, &count, sizeof count);
            if (stopping_.load()) {
                break;
            }
            std::uint64_t wanted = 0;
            {
                std::lock_guard lock(regrabMutex_);
                wanted = regrabsWanted_;
            }
            if (wanted != regrabsDone_) {
                applyGrabs();
                std::lock_guard lock(regrabMutex_);
                regrabsDone_ = wanted;
                regrabbed_.notify_all();
            }
            // Otherwise the gate's round trip may have queued events: look at them above.
        }
    }
    if (holding_.load()) {
        endHold();  // nothing typed is lost when the hooks stop
    }
    map_.reset();
    XCloseDisplay(display);
}

void Watcher::handle(XEvent& next) {
    if (next.type == GenericEvent && next.xcookie.extension == xiOpcode_ &&
        XGetEventData(display_, &next.xcookie)) {
        const auto* raw = static_cast<const XIRawEvent*>(next.xcookie.data);
        switch (next.xcookie.evtype) {
            case XI_RawKeyPress:
            case XI_RawKeyRelease: {
                const auto keycode = static_cast<unsigned>(raw->detail);
                const bool released = next.xcookie.evtype == XI_RawKeyRelease;
                if (!toldFromCore(keycode, released) && !isRepeatedRelease(keycode, released) &&
                    isPosted(keycode, released)) {
                    onKey(keycode, released);
                }
                break;
            }
            case XI_RawButtonPress:
            case XI_RawButtonRelease:
                onButton(static_cast<unsigned>(raw->detail),
                         next.xcookie.evtype == XI_RawButtonRelease);
                break;
            default:
                break;
        }
        XFreeEventData(display_, &next.xcookie);
    } else if (next.type == xkbEventBase_) {
        onXkb(*reinterpret_cast<const XkbEvent*>(&next));
    } else if (next.type == KeyPress || next.type == KeyRelease) {
        // Delivered through a grab: the withheld taps, and what the hold keeps.
        keep(next.xkey);
    }
}

void Watcher::prepare(Display* display) {
    const Window root = DefaultRootWindow(display);
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawKeyPress);
    XISetMask(bits, XI_RawKeyRelease);
    XISetMask(bits, XI_RawButtonPress);
    XISetMask(bits, XI_RawButtonRelease);
    // Master devices only: every slave's event reaches its master, once.
    XIEventMask mask{XIAllMasterDevices, static_cast<int>(sizeof bits), bits};
    XISelectEvents(display, root, &mask, 1);
    XkbSelectEvents(display, XkbUseCoreKbd, XkbNewKeyboardNotifyMask | XkbMapNotifyMask,
                    XkbNewKeyboardNotifyMask | XkbMapNotifyMask);
    XkbSelectEventDetails(display, XkbUseCoreKbd, XkbStateNotify,
                          XkbGroupStateMask | XkbModifierLockMask,
                          XkbGroupStateMask | XkbModifierLockMask);
    map_ = std::make_unique<X11KeyMap>(display);

    // The keys down and the toggles on when watching starts.
    numLockMask_ = XkbKeysymToModifiers(display, XK_Num_Lock);
    scrollLockMask_ = XkbKeysymToModifiers(display, XK_Scroll_Lock);
    XkbStateRec state{};
    XkbGetState(display, XkbUseCoreKbd, &state);
    numLock_ = (state.locked_mods & numLockMask_) != 0;
    state_[VkCapital] = (state.locked_mods & LockMask) != 0 ? 1 : 0;
    state_[VkNumLock] = numLock_ ? 1 : 0;
    state_[VkScroll] = scrollLockMask_ != 0 && (state.locked_mods & scrollLockMask_) != 0;
    char keys[32] = {};
    XQueryKeymap(display, keys);
    for (unsigned keycode = 8; keycode < 256; ++keycode) {
        if ((keys[keycode / 8] & (1 << (keycode % 8))) != 0) {
            keycodeDown_[keycode] = true;
            if (const unsigned key = map_->virtualKeyOf(keycode, numLock_)) {
                state_[key] |= 0x80;
                state_[X11KeyMap::genericKey(key)] |= 0x80;
            }
        }
    }
    XSync(display, False);
}

void Watcher::updateGeneric(unsigned generic, unsigned left, unsigned right) {
    const bool down = ((state_[left] | state_[right]) & 0x80) != 0;
    state_[generic] = static_cast<std::uint8_t>((state_[generic] & 0x01) | (down ? 0x80 : 0));
}

void Watcher::onKey(unsigned keycode, bool released) {
    if (keycode < 8 || keycode > 255) {
        return;
    }
    unsigned key = map_->virtualKeyOf(keycode, numLock_);
    if (key == 0) {
        key = PacketKey;  // a key of no virtual key, such as a character typed by its code
    }
    const unsigned generic = X11KeyMap::genericKey(key);
    const bool wasDown = keycodeDown_[keycode];
    keycodeDown_[keycode] = !released;
    if (released) {
        state_[key] &= 0x01;
    } else {
        // Every press that is not a repeat turns the key's toggle over.
        state_[key] =
            static_cast<std::uint8_t>((wasDown ? state_[key] : state_[key] ^ 0x01) | 0x80);
    }
    if (generic != key) {
        if (!released && !wasDown) {
            state_[generic] ^= 0x01;
        }
        updateGeneric(0x10, 0xA0, 0xA1);
        updateGeneric(0x11, 0xA2, 0xA3);
        updateGeneric(0x12, 0xA4, 0xA5);
    }
    if (generic == 0x11 && released && (state_[0x11] & 0x80) == 0 &&
        std::exchange(tapWithheld_, false)) {
        startHold();
    }
    const unsigned scan = X11KeyMap::scanCodeOf(keycode);
    const bool altDown = (state_[VkMenu] & 0x80) != 0;
    std::uint32_t data = 1;  // repeat count
    data |= (scan & 0xFFU) << 16;
    data |= (scan & X11KeyMap::ExtendedScan) != 0 ? windows::hook::keydata::ExtendedFlag : 0U;
    data |= altDown ? 1U << 29 : 0U;
    data |= wasDown || released ? 1U << 30 : 0U;
    data |= released ? windows::hook::keydata::ReleaseFlag : 0U;
    post(keyboard, KeyEventMessage, generic,
         static_cast<std::intptr_t>(static_cast<std::int32_t>(data)));
}

void Watcher::onButton(unsigned button, bool released) {
    unsigned key = 0;
    switch (button) {
        case 1:
            key = VkLButton;
            break;
        case 2:
            key = VkMButton;
            break;
        case 3:
            key = VkRButton;
            break;
        default:
            return;  // the wheel
    }
    state_[key] = static_cast<std::uint8_t>((state_[key] & 0x01) | (released ? 0 : 0x80));
    if (key != VkLButton) {
        return;
    }
    if (!released) {
        takeForButton();
        return;
    }
    dropButtonGrabs();
    if (std::exchange(tapWithheld_, false)) {
        startHold();
    }
    post(mouse, MouseEventMessage, 0, 0);
}

void Watcher::onXkb(const XkbEvent& event) {
    switch (event.any.xkb_type) {
        case XkbStateNotify: {
            const unsigned locked = event.state.locked_mods;
            numLock_ = (locked & numLockMask_) != 0;
            const auto toggle = [&](unsigned key, bool on) {
                state_[key] = static_cast<std::uint8_t>((state_[key] & 0x80) | (on ? 1 : 0));
            };
            toggle(VkCapital, (locked & LockMask) != 0);
            toggle(VkNumLock, numLock_);
            toggle(VkScroll, scrollLockMask_ != 0 && (locked & scrollLockMask_) != 0);
            if (map_->group() != event.state.group) {
                map_->setGroup(event.state.group);
                applyGrabs();  // another layout puts the letters on other keys
            }
            break;
        }
        case XkbMapNotify:
        case XkbNewKeyboardNotify:
            map_->refresh();
            numLockMask_ = XkbKeysymToModifiers(map_->display(), XK_Num_Lock);
            scrollLockMask_ = XkbKeysymToModifiers(map_->display(), XK_Scroll_Lock);
            applyGrabs();
            break;
        default:
            break;
    }
}

void Watcher::post(Kind& kind, unsigned int message, std::uintptr_t wParam, std::intptr_t lParam) {
    const std::uintptr_t window = kind.window.load();
    if (window != 0 && postMessage_ != nullptr) {
        postMessage_(window, message, wParam, lParam, state_.data());
    }
}

void Watcher::takeModifierSets() {
    // Shift and the locks: every set is a grab per key, and the server looks through its list
    // of grabs for each grab it adds (32 sets with Super and AltGr took 1.7 s to grab).
    const unsigned free = ShiftMask | LockMask | numLockMask_;
    ctrlSets_.clear();
    for (unsigned subset = free;; subset = (subset - 1) & free) {
        ctrlSets_.push_back(ControlMask | subset);
        if (subset == 0) {
            break;
        }
    }
}

bool Watcher::wantedGrab(unsigned keycode, const std::array<bool, 256>& slots) const {
    bool slot = false;
    bool alt = false;
    for (const bool numLock : {false, true}) {
        unsigned key = map_->virtualKeyOf(keycode, numLock);
        if (key == 0) {
            // Posted as PacketKey when it types something (AltGr, a character's own key).
            if (map_->keysymAt(keycode, 0) == NoSymbol) {
                continue;
            }
            key = PacketKey;
        }
        const unsigned generic = X11KeyMap::genericKey(key);
        slot = slot || slots[generic];
        alt = alt || generic == VkMenu;
    }
    // A pressed Alt ends the Ctrl gesture, so its own press is never a tap of one.
    return slot && !alt;
}

void Watcher::take(unsigned keycode) {
    // A set another client grabbed already (a window manager's binding) fails on its own and
    // stays that client's.
    for (const unsigned modifiers : ctrlSets_) {
        XGrabKey(display_, static_cast<int>(keycode), modifiers, DefaultRootWindow(display_), False,
                 GrabModeAsync, GrabModeAsync);
    }
}

void Watcher::takeForButton() {
    std::lock_guard lock(grabMutex_);
    // Another device's button may be down already: its grabs serve.
    if (!buttonWindows_.empty() ||
        std::none_of(grabs_.begin(), grabs_.end(), [](bool held) { return held; })) {
        return;
    }
    // A grab on a top-level window covers every window inside it, so a focus that moves within
    // the application, or into the window the click brings to the front, still meets it. Unlike
    // the root, such a window holds almost no other grabs, which the server looks through for
    // each one added: one grab per key (any modifiers) costs next to nothing.
    const Window root = DefaultRootWindow(display_);
    const auto addTopLevel = [&](Window window) {
        while (window != None && window != PointerRoot && window != root) {
            Window top = 0;
            Window parent = 0;
            Window* children = nullptr;
            unsigned count = 0;
            if (XQueryTree(display_, window, &top, &parent, &children, &count) == 0) {
                return;  // gone meanwhile
            }
            if (children != nullptr) {
                XFree(children);
            }
            if (parent == root) {
                if (std::find(buttonWindows_.begin(), buttonWindows_.end(), window) ==
                    buttonWindows_.end()) {
                    buttonWindows_.push_back(window);
                }
                return;
            }
            window = parent;
        }
    };
    Window focus = None;
    int revert = 0;
    XGetInputFocus(display_, &focus, &revert);
    addTopLevel(focus);
    Window pointerRoot = 0;
    Window underPointer = None;
    int rootX = 0;
    int rootY = 0;
    int x = 0;
    int y = 0;
    unsigned mask = 0;
    if (XQueryPointer(display_, root, &pointerRoot, &underPointer, &rootX, &rootY, &x, &y, &mask) !=
        0) {
        addTopLevel(underPointer);
    }
    for (unsigned keycode = 8; keycode < 256; ++keycode) {
        buttonTaken_[keycode] = grabs_[keycode] && passing_[keycode] == 0;
        if (buttonTaken_[keycode]) {
            onButtonWindows(keycode, true);
        }
    }
    // In place before the taps the user makes while holding the button.
    XSync(display_, False);
    wake();  // the round trip may have queued events
}

void Watcher::onButtonWindows(unsigned keycode, bool grab) {
    for (const Window window : buttonWindows_) {
        if (grab) {
            XGrabKey(display_, static_cast<int>(keycode), AnyModifier, window, False, GrabModeAsync,
                     GrabModeAsync);
        } else {
            XUngrabKey(display_, static_cast<int>(keycode), AnyModifier, window);
        }
    }
}

void Watcher::dropButtonGrabs() {
    std::lock_guard lock(grabMutex_);
    if (buttonWindows_.empty()) {
        return;
    }
    for (unsigned keycode = 8; keycode < 256; ++keycode) {
        if (std::exchange(buttonTaken_[keycode], false)) {
            onButtonWindows(keycode, false);
        }
    }
    buttonWindows_.clear();
    // Gone before the program hears of the release and sends its own keys.
    XSync(display_, False);
    wake();
}

void Watcher::applyGrabs() {
    std::array<bool, 256> slots{};
    {
        std::lock_guard lock(slotKeysMutex);
        slots = slotKeys;
    }
    std::lock_guard lock(grabMutex_);
    const bool running = keyboard.window.load() != 0;
    const std::vector<unsigned> oldSets = ctrlSets_;
    takeModifierSets();
    const bool setsChanged = ctrlSets_ != oldSets;
    bool changed = false;
    for (unsigned keycode = 8; keycode < 256; ++keycode) {
        const bool wanted = running && wantedGrab(keycode, slots);
        const bool held = grabs_[keycode];
        if (wanted == held && !(setsChanged && held)) {
            continue;
        }
        if (passing_[keycode] == 0) {
            if (held) {
                XUngrabKey(display_, static_cast<int>(keycode), AnyModifier,
                           DefaultRootWindow(display_));
            }
            if (wanted) {
                take(keycode);
            }
        }
        grabs_[keycode] = wanted;
        changed = true;
    }
    if (changed) {
        XSync(display_, False);
    }
}

void Watcher::dropGrabs() {
    std::lock_guard lock(grabMutex_);
    for (unsigned keycode = 8; keycode < 256; ++keycode) {
        if (grabs_[keycode] && passing_[keycode] == 0) {
            XUngrabKey(display_, static_cast<int>(keycode), AnyModifier,
                       DefaultRootWindow(display_));
        }
        grabs_[keycode] = false;
        if (std::exchange(buttonTaken_[keycode], false)) {
            onButtonWindows(keycode, false);
        }
    }
    buttonWindows_.clear();
    XSync(display_, False);
    releaseTyping();
    wake();  // the round trip may have queued events
}

bool Watcher::pass(unsigned keycode) {
    if (keycode < 8 || keycode > 255) {
        return false;
    }
    std::lock_guard lock(grabMutex_);
    if (!grabs_[keycode]) {
        return false;
    }
    if (passing_[keycode]++ == 0) {
        XUngrabKey(display_, static_cast<int>(keycode), AnyModifier, DefaultRootWindow(display_));
        if (buttonTaken_[keycode]) {
            onButtonWindows(keycode, false);
        }
        // Done before the input's press is: both go to the same server, one after the other.
        XSync(display_, False);
        wake();
    }
    return true;
}

bool Watcher::isPosted(unsigned keycode, bool released) {
    if (!holding_.load()) {
        return true;
    }
    std::lock_guard lock(grabMutex_);
    if (!own_.empty() && own_.front().keycode == keycode && own_.front().released == released) {
        own_.pop_front();
        return true;
    }
    // The release of a key pressed before the hold is not replayed: the program is told now.
    // Another release is none of the user's (see keep).
    return released && !keptDown_[keycode] && std::exchange(downAtHold_[keycode], false);
}

void Watcher::fakeKey(unsigned keycode, bool press) {
    sendFakeKey(display_, xtestOpcode_, keycode, press);
}

void Watcher::startHold() {
    std::lock_guard lock(grabMutex_);
    if (holding_.load() || keyboard.window.load() == 0) {
        return;
    }
    // Another client holding the keyboard (an open menu) keeps it; typing then goes as it did.
    if (XGrabKeyboard(display_, DefaultRootWindow(display_), False, GrabModeAsync, GrabModeAsync,
                      CurrentTime) != GrabSuccess) {
        return;
    }
    kept_.clear();
    keptDown_.fill(false);
    downAtHold_ = keycodeDown_;
    own_.clear();
    releaseWanted_.store(false);
    holdEnd_ = std::chrono::steady_clock::now() + HoldBound;
    holding_.store(true);
}

void Watcher::keep(const XKeyEvent& event) {
    if (event.keycode < 8 || event.keycode > 255) {
        return;
    }
    const bool released = event.type == KeyRelease;
    if (!holding_.load()) {
        // A passive grab took this press: a gesture's tap, not one of the program's own
        // keystrokes, which pass the grabs.
        tapWithheld_ = tapWithheld_ || !released;
        tellFromCore(event.keycode, released);
        return;
    }
    {
        std::lock_guard lock(grabMutex_);
        if (!released || keptDown_[event.keycode]) {
            keptDown_[event.keycode] = !released;
            kept_.push_back({event.keycode, released});
            return;
        }
    }
    // The release of a key whose press reached the application before the hold, or was a tap:
    // not replayed, and the program is told now. Any other is not the user's (a second release
    // of a modifier, from xdotool for one), and while the program's own press of the key is
    // down it would read as the end of the program's keystroke.
    if (std::exchange(downAtHold_[event.keycode], false)) {
        tellFromCore(event.keycode, true);
    }
}

void Watcher::tellFromCore(unsigned keycode, bool released) {
    if (keycodeDown_[keycode] != released) {
        return;  // its raw event told it already
    }
    (released ? toldRelease_ : toldPress_)[keycode] = true;
    onKey(keycode, released);
}

bool Watcher::isRepeatedRelease(unsigned keycode, bool released) const {
    // A release can come twice (xdotool lets go of a modifier with two XTEST releases). A
    // second Ctrl release would finish the program's copy or paste before the application has
    // its keystroke.
    return released && keycode <= 255 && !keycodeDown_[keycode];
}

bool Watcher::toldFromCore(unsigned keycode, bool released) {
    if (keycode > 255) {
        return false;
    }
    // A raw event of the other kind begins a new press: what was told before is over.
    (released ? toldPress_ : toldRelease_)[keycode] = false;
    return std::exchange((released ? toldRelease_ : toldPress_)[keycode], false);
}

void Watcher::endHold() {
    if (!holding_.load()) {
        return;
    }
    // No other client's request (another program's synthesised keys) may come between the
    // end of the grab and the replay, or its keys would overtake the kept ones.
    {
        std::lock_guard lock(grabMutex_);
        XGrabServer(display_);
        serverHeld_ = true;
        XSync(display_, False);
    }
    // What came before now is still the hold's: kept, or the program's own.
    while (XPending(display_) > 0) {
        XEvent next;
        XNextEvent(display_, &next);
        handle(next);
    }
    std::lock_guard lock(grabMutex_);
    holding_.store(false);
    own_.clear();
    // The server drops the press of a key that is down: one the user still holds goes up
    // first, and every key the replay pressed goes up at its end, so none stays down.
    char keys[32] = {};
    XQueryKeymap(display_, keys);
    std::array<bool, 256> down{};
    for (unsigned keycode = 8; keycode < 256; ++keycode) {
        down[keycode] = (keys[keycode / 8] & (1 << (keycode % 8))) != 0;
    }
    const auto send = [&](unsigned keycode, bool released) {
        fakeKey(keycode, !released);
        down[keycode] = !released;
    };
    XUngrabKeyboard(display_, CurrentTime);
    std::array<bool, 256> pressed{};
    for (const KeptKey& key : kept_) {
        if (!key.released && down[key.keycode]) {
            send(key.keycode, true);
        }
        send(key.keycode, key.released);
        pressed[key.keycode] = !key.released;
    }
    for (unsigned keycode = 8; keycode < 256; ++keycode) {
        if (pressed[keycode]) {
            send(keycode, true);
        }
    }
    kept_.clear();
    XUngrabServer(display_);
    serverHeld_ = false;
    XSync(display_, False);
}

bool Watcher::sendHeld(const unsigned* keycodes, const unsigned char* presses, unsigned count) {
    std::lock_guard lock(grabMutex_);
    if (!holding_.load()) {
        return false;
    }
    // The server takes these requests in order and, with the server held, no other client's in
    // between: the keys reach the application while no grab is on, and whatever is typed after
    // them is kept. (The hold's end may hold the server already, waiting for this lock.)
    const bool holdServer = !serverHeld_;
    if (holdServer) {
        XGrabServer(display_);
    }
    XUngrabKeyboard(display_, CurrentTime);
    for (unsigned i = 0; i < count; ++i) {
        own_.push_back({keycodes[i], presses[i] == 0});
        fakeKey(keycodes[i], presses[i] != 0);
    }
    if (XGrabKeyboard(display_, DefaultRootWindow(display_), False, GrabModeAsync, GrabModeAsync,
                      CurrentTime) != GrabSuccess) {
        // Taken meanwhile by another client: what was kept goes now.
        releaseWanted_.store(true);
    }
    if (holdServer) {
        XUngrabServer(display_);
    }
    XFlush(display_);
    // The grab's round trip read the raw events of these keys into the connection's queue,
    // where the watcher's poll does not see them; the program waits for their echo.
    wake();
    return true;
}

void Watcher::restore(unsigned keycode) {
    if (keycode < 8 || keycode > 255) {
        return;
    }
    std::lock_guard lock(grabMutex_);
    if (passing_[keycode] > 0 && --passing_[keycode] == 0 && grabs_[keycode]) {
        take(keycode);
        if (buttonTaken_[keycode]) {
            onButtonWindows(keycode, true);
        }
        XFlush(display_);
    }
}

// ---- The entries' work ---------------------------------------------------------------------

std::int32_t isInitiated(Kind& kind) {
    std::lock_guard lock(entries);
    // This process's own set-up counts even when no lock file could be made.
    return kind.window.load() != 0 || kind.lock.held() || isHeldAnywhere(kind.fact) ? 1 : 0;
}

std::int32_t initialize(Kind& kind, std::uintptr_t window) {
    std::lock_guard lock(entries);
    const bool taken = kind.lock.take(kind.fact);
    kind.window.store(window);
    if (!watcher) {
        watcher = std::make_unique<Watcher>();
    } else if (&kind == &keyboard) {
        watcher->requestRegrab();
    }
    return taken ? 1 : 0;
}

void deinitialize(Kind& kind) {
    std::lock_guard lock(entries);
    kind.window.store(0);
    kind.lock.release();
    if (keyboard.window.load() == 0 && mouse.window.load() == 0) {
        watcher.reset();  // its connection, and every grab with it, goes
    } else if (&kind == &keyboard && watcher) {
        watcher->dropGrabs();  // no key stays taken while no hook reports it
    }
}

}  // namespace

PASTRIX_HOOK_ENTRY std::int32_t keyboardIsInitiated() {
    return isInitiated(keyboard);
}

PASTRIX_HOOK_ENTRY std::int32_t mouseIsInitiated() {
    return isInitiated(mouse);
}

PASTRIX_HOOK_ENTRY std::int32_t keyboardInitializer(os::WindowHandle window,
                                                    std::uintptr_t /*hook*/) {
    return initialize(keyboard, window);
}

PASTRIX_HOOK_ENTRY std::int32_t mouseInitializer(os::WindowHandle window, std::uintptr_t /*hook*/) {
    return initialize(mouse, window);
}

PASTRIX_HOOK_ENTRY void keyboardDeinitializer() {
    deinitialize(keyboard);
}

PASTRIX_HOOK_ENTRY void mouseDeinitializer() {
    deinitialize(mouse);
}

// X calls no hook procedures; these exist for the program to install, and pass nothing on.
PASTRIX_HOOK_ENTRY std::intptr_t keyboardProcedure(int /*code*/, std::uintptr_t /*wParam*/,
                                                   std::intptr_t /*lParam*/) {
    return 0;
}

PASTRIX_HOOK_ENTRY std::intptr_t mouseProcedure(int /*code*/, std::uintptr_t /*wParam*/,
                                                std::intptr_t /*lParam*/) {
    return 0;
}

// Which virtual keys select a slot: 256 flags by virtual key, or null for none. The gesture
// taps of these keys no longer reach the application in front.
PASTRIX_HOOK_ENTRY void keyboardSetSlotKeys(const std::uint8_t* keys) {
    {
        std::lock_guard lock(slotKeysMutex);
        for (std::size_t key = 0; key < slotKeys.size(); ++key) {
            slotKeys[key] = keys != nullptr && keys[key] != 0;
        }
    }
    std::lock_guard lock(entries);
    if (watcher) {
        watcher->requestRegrab();
    }
}

// The program's copy or paste after a gesture is over (or none runs): what was typed
// meanwhile goes to the application now.
PASTRIX_HOOK_ENTRY void keyboardReleaseTyping() {
    std::lock_guard lock(entries);
    if (watcher) {
        watcher->releaseTyping();
    }
}

PASTRIX_HOOK_ENTRY std::int32_t getAttachThreadInputId() {
    std::lock_guard lock(entries);
    if (registeredThread.held()) {
        return registeredThreadId;
    }
    std::string content;
    if (!isHeldAnywhere("thread", &content)) {
        return 0;
    }
    char* end = nullptr;
    const long id = std::strtol(content.c_str(), &end, 10);
    return end != content.c_str() && id > 0 && id <= INT32_MAX ? static_cast<std::int32_t>(id) : 0;
}

PASTRIX_HOOK_ENTRY void setAttachThreadInputId(std::int32_t threadId) {
    std::lock_guard lock(entries);
    if (!registeredThread.take("thread")) {
        return;  // another process has its thread registered
    }
    registeredThreadId = threadId;
    registeredThread.write(std::to_string(threadId));
}

// The entries keep the types the program calls them with.
[[maybe_unused]] constexpr IsInitiatedFunction isInitiatedType = &keyboardIsInitiated;
[[maybe_unused]] constexpr InitializerFunction initializerType = &keyboardInitializer;
[[maybe_unused]] constexpr DeinitializerFunction deinitializerType = &keyboardDeinitializer;
[[maybe_unused]] constexpr ProcedureFunction procedureType = &keyboardProcedure;
[[maybe_unused]] constexpr GetAttachThreadInputIdFunction getterType = &getAttachThreadInputId;
[[maybe_unused]] constexpr SetAttachThreadInputIdFunction setterType = &setAttachThreadInputId;
