#include "os/x11/X11Input.h"

#include "os/x11/X11KeyGate.h"
#include "os/x11/X11KeyMap.h"
#include "os/x11/X11Keysyms.h"

#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <algorithm>
#include <bitset>
#include <set>
#include <stdexcept>
#include <string>

namespace os::x11 {

namespace {

// How many bytes a UTF-8 sequence has that starts with the byte; 0 when it cannot start one.
std::size_t sequenceLength(unsigned char byte) {
    if (byte < 0x80) {
        return 1;
    }
    if (byte >= 0xC2 && byte <= 0xDF) {
        return 2;
    }
    if (byte >= 0xE0 && byte <= 0xEF) {
        return 3;
    }
    if (byte >= 0xF0 && byte <= 0xF4) {
        return 4;
    }
    return 0;
}

// The character of a complete sequence, or 0 when the sequence is not a valid character.
char32_t decode(const std::string& bytes) {
    const auto lead = static_cast<unsigned char>(bytes[0]);
    if (bytes.size() == 1) {
        return lead;
    }
    char32_t character = lead & (0x7F >> bytes.size());
    for (std::size_t i = 1; i < bytes.size(); ++i) {
        character = character << 6 | (static_cast<unsigned char>(bytes[i]) & 0x3F);
    }
    constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (character < smallest[bytes.size()] || character > 0x10FFFF ||
        (character >= 0xD800 && character <= 0xDFFF)) {
        return 0;
    }
    return character;
}

}  // namespace

X11Input::X11Input(X11Keyboard& keyboard, const char* displayName)
    : keyboard_(keyboard), display_(XOpenDisplay(displayName)) {
    if (display_ == nullptr) {
        throw std::runtime_error(std::string("Cannot open the X display ") +
                                 (displayName != nullptr ? displayName : "of DISPLAY"));
    }
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    int opcode = 0;
    int xkbMajor = XkbMajorVersion;
    int xkbMinor = XkbMinorVersion;
    if (!XTestQueryExtension(display_, &eventBase, &errorBase, &major, &minor) ||
        !XkbQueryExtension(display_, &opcode, &xkbEventBase_, &errorBase, &xkbMajor, &xkbMinor)) {
        XCloseDisplay(display_);
        throw std::runtime_error("The X display cannot synthesise keys (XTEST, XKB)");
    }
    XkbSelectEvents(display_, XkbUseCoreKbd, XkbNewKeyboardNotifyMask | XkbMapNotifyMask,
                    XkbNewKeyboardNotifyMask | XkbMapNotifyMask);
    XkbSelectEventDetails(display_, XkbUseCoreKbd, XkbStateNotify, XkbGroupStateMask,
                          XkbGroupStateMask);
    map_ = std::make_unique<X11KeyMap>(display_);
    spareKeycodes_ = map_->spareKeycodes();
    worker_ = std::thread([this] { run(); });
}

X11Input::~X11Input() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    worker_.join();
    map_.reset();
    XCloseDisplay(display_);
}

void X11Input::keybdEvent(std::uint8_t virtualKey, std::uint8_t scanCode, unsigned flags,
                          std::uintptr_t /*extraInfo*/) {
    const bool released = (flags & keyeventf::KeyUp) != 0;
    if (virtualKey == PacketKey) {
        const std::optional<unsigned char> byte = keyboard_.takePacketByte();
        if (released || !byte) {
            return;  // the character went out with the press
        }
        char32_t character = 0;
        {
            std::lock_guard lock(mutex_);
            const std::size_t length = sequenceLength(*byte);
            if (length != 0) {
                pendingBytes_.clear();  // a new character ends one left unfinished
                pendingBytes_ += static_cast<char>(*byte);
            } else if (!pendingBytes_.empty()) {
                pendingBytes_ += static_cast<char>(*byte);
            }
            if (!pendingBytes_.empty() &&
                pendingBytes_.size() ==
                    sequenceLength(static_cast<unsigned char>(pendingBytes_[0]))) {
                character = decode(pendingBytes_);
                pendingBytes_.clear();
            }
        }
        if (character != 0) {
            typeCharacter(character);
        }
        return;
    }
    Event event;
    event.virtualKey = virtualKey;
    event.scanCode = scanCode;
    event.extended = (flags & keyeventf::ExtendedKey) != 0;
    event.released = released;
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(event);
        ++made_;
    }
    changed_.notify_all();
}

void X11Input::typeCharacter(char32_t character) {
    Event event;
    event.isCharacter = true;
    event.character = character;
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(event);
        ++made_;
    }
    changed_.notify_all();
}

void X11Input::flush() {
    std::unique_lock lock(mutex_);
    const std::uint64_t target = made_;
    changed_.wait(lock, [&] { return sent_ >= target; });
}

bool X11Input::hasMappedCharacters() {
    return mappedCount_.load() != 0;
}

void X11Input::run() {
    std::unique_lock lock(mutex_);
    while (true) {
        if (!queue_.empty()) {
            std::vector<Event> events(queue_.begin(), queue_.end());
            queue_.clear();
            lock.unlock();
            send(events);
            lock.lock();
            sent_ += events.size();
            changed_.notify_all();
            continue;
        }
        if (stopping_) {
            break;
        }
        if (mappedCount_.load() != 0) {
            const bool woken = changed_.wait_until(lock, lastUse_ + RestoreDelay,
                                                   [&] { return !queue_.empty() || stopping_; });
            if (!woken) {
                lock.unlock();
                restoreMapping();
                lock.lock();
            }
            continue;
        }
        changed_.wait(lock, [&] { return !queue_.empty() || stopping_; });
    }
    lock.unlock();
    if (mappedCount_.load() != 0) {
        waitForRestoreDelay();
        restoreMapping();
    }
}

void X11Input::followLayout() {
    bool changed = false;
    int group = map_->group();
    while (XEventsQueued(display_, QueuedAfterReading) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type != xkbEventBase_) {
            continue;
        }
        const auto* xkbEvent = reinterpret_cast<const XkbEvent*>(&event);
        if (xkbEvent->any.xkb_type == XkbStateNotify) {
            group = xkbEvent->state.group;
        } else {
            changed = true;
        }
    }
    if (changed) {
        map_->refresh();
        if (mapped_.empty()) {
            spareKeycodes_ = map_->spareKeycodes();
        }
    } else {
        map_->setGroup(group);
    }
    if (changed || modifierKeycodes_.empty()) {
        modifierKeycodes_.clear();
        if (XModifierKeymap* modifiers = XGetModifierMapping(display_)) {
            for (int index = 0; index < 8; ++index) {
                if (index == LockMapIndex) {
                    continue;  // Caps Lock is a toggle, not a key held down
                }
                for (int i = 0; i < modifiers->max_keypermod; ++i) {
                    const KeyCode keycode =
                        modifiers->modifiermap[index * modifiers->max_keypermod + i];
                    if (keycode != 0) {
                        modifierKeycodes_.push_back(keycode);
                    }
                }
            }
            XFreeModifiermap(modifiers);
        }
    }
}

std::bitset<256> X11Input::keysDown() {
    char keys[32] = {};
    XQueryKeymap(display_, keys);
    std::bitset<256> down;
    for (unsigned keycode = 0; keycode < 256; ++keycode) {
        down[keycode] = (keys[keycode / 8] & (1 << (keycode % 8))) != 0;
    }
    return down;
}

bool X11Input::isModifier(unsigned keycode) const {
    return std::find(modifierKeycodes_.begin(), modifierKeycodes_.end(), keycode) !=
           modifierKeycodes_.end();
}

std::vector<unsigned> X11Input::heldModifiers() {
    char keys[32] = {};
    XQueryKeymap(display_, keys);
    std::set<unsigned> held;
    for (const unsigned keycode : modifierKeycodes_) {
        if ((keys[keycode / 8] & (1 << (keycode % 8))) != 0) {
            held.insert(keycode);
        }
    }
    return {held.begin(), held.end()};
}

unsigned X11Input::keycodeFor(char32_t character) {
    if (const auto found = mapped_.find(character); found != mapped_.end()) {
        return found->second;
    }
    for (const unsigned keycode : spareKeycodes_) {
        const bool inUse = std::any_of(mapped_.begin(), mapped_.end(),
                                       [&](const auto& entry) { return entry.second == keycode; });
        if (inUse) {
            continue;
        }
        // The same keysym on both levels, so that a Shift held cannot change it.
        KeySym keysyms[2];
        keysyms[0] = keysyms[1] = characterKeysym(character);
        XChangeKeyboardMapping(display_, static_cast<int>(keycode), 2, keysyms, 1);
        mapped_.emplace(character, keycode);
        mappedCount_.store(mapped_.size());
        return keycode;
    }
    return 0;
}

void X11Input::mapCharacters(const std::vector<Event>& events) {
    for (const Event& event : events) {
        if (event.isCharacter && keycodeFor(event.character) == 0) {
            break;  // the rest once these have been typed
        }
    }
}

void X11Input::waitForRestoreDelay() {
    std::this_thread::sleep_until(lastUse_ + RestoreDelay);
}

void X11Input::restoreMapping() {
    for (const auto& [character, keycode] : mapped_) {
        KeySym none = NoSymbol;
        XChangeKeyboardMapping(display_, static_cast<int>(keycode), 1, &none, 1);
    }
    mapped_.clear();
    mappedCount_.store(0);
    XSync(display_, False);
}

void X11Input::send(std::vector<Event>& events) {
    followLayout();
    mapCharacters(events);
    // Keycodes the hook library let through for these events, grabbed again once they are
    // sent: the program's own Ctrl+V must reach the application the gesture's taps did not.
    std::vector<unsigned> passed;
    // A batch of plain keys (a copy or paste keystroke) is collected, so that the library can
    // send it while it holds the keyboard; characters never come during a hold.
    const bool plain = std::none_of(events.begin(), events.end(),
                                    [](const Event& event) { return event.isCharacter; });
    std::vector<std::pair<unsigned, bool>> plainKeys;
    const auto sendKey = [&](unsigned keycode, bool press) {
        if (plain) {
            plainKeys.emplace_back(keycode, press);
        } else {
            XTestFakeKeyEvent(display_, keycode, press ? True : False, CurrentTime);
        }
    };
    std::bitset<256> down = keysDown();
    for (const Event& event : events) {
        if (!event.isCharacter) {
            unsigned keycode = map_->keycodeOf(event.virtualKey);
            if (keycode == 0 && event.scanCode != 0) {
                keycode = X11KeyMap::keycodeOfScanCode(event.scanCode, event.extended);
            }
            if (keycode == 0 || keycode > 255) {
                continue;
            }
            if (!event.released &&
                std::find(passed.begin(), passed.end(), keycode) == passed.end() &&
                X11KeyGate::pass(keycode)) {
                passed.push_back(keycode);
            }
            if (!event.released && down[keycode] && !isModifier(keycode)) {
                // The server drops a press of a key that is down already, so a key the user
                // still holds (the last key of a Cool Key's abbreviation) would not type. Lift
                // it first; the user's own release then finds it up and goes nowhere. A
                // modifier held stays as it is: a second press changes nothing.
                sendKey(keycode, false);
            }
            sendKey(keycode, !event.released);
            down[keycode] = !event.released;
            continue;
        }
        unsigned keycode = keycodeFor(event.character);
        if (keycode == 0) {
            // Every spare keycode is taken: let the application read the characters typed on
            // them before they are given back and used again.
            XSync(display_, False);
            waitForRestoreDelay();
            restoreMapping();
            keycode = keycodeFor(event.character);
            if (keycode == 0) {
                continue;  // the keyboard has no spare keycode at all
            }
        }
        const std::vector<unsigned> held = heldModifiers();
        for (const unsigned modifier : held) {
            XTestFakeKeyEvent(display_, modifier, False, CurrentTime);
        }
        XTestFakeKeyEvent(display_, keycode, True, CurrentTime);
        XTestFakeKeyEvent(display_, keycode, False, CurrentTime);
        for (const unsigned modifier : held) {
            XTestFakeKeyEvent(display_, modifier, True, CurrentTime);
        }
        lastUse_ = std::chrono::steady_clock::now();
    }
    if (!plainKeys.empty() && !X11KeyGate::sendHeld(plainKeys)) {
        for (const auto& [keycode, press] : plainKeys) {
            XTestFakeKeyEvent(display_, keycode, press ? True : False, CurrentTime);
        }
    }
    XSync(display_, False);
    for (const unsigned keycode : passed) {
        X11KeyGate::restore(keycode);
    }
    if (mappedCount_.load() != 0) {
        lastUse_ = std::chrono::steady_clock::now();
    }
}

}  // namespace os::x11
