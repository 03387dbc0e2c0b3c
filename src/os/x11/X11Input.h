#pragma once

#include "os/Input.h"
#include "os/x11/X11Keyboard.h"

#include <atomic>
#include <bitset>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace os::x11 {

class X11KeyMap;

// Key events synthesised with XTEST, on a connection and thread of their own, in the order
// they were made.
//
// A virtual key goes out as the key the current layout gives it; a press of a key that is down
// already (the user still holds it) is preceded by a release, since X would drop it. PacketKey
// events type the bytes that the keyboard's vkKeyScan kept: a UTF-8 decoder collects them, and a
// character is typed when its last byte arrives (a byte that cannot continue a character is
// dropped). Such a character goes out on a spare keycode, mapped to it just before, with the
// modifiers the user holds released around it and pressed again after it. Every character of the
// events waiting is mapped at once; the keycodes are given back 250 ms after their last use, or
// when more are needed, or at the end.
class X11Input final : public Input {
public:
    // Opens its own connection; nullptr for the display of $DISPLAY. Throws
    // std::runtime_error when the display cannot be opened or has no XTEST.
    explicit X11Input(X11Keyboard& keyboard, const char* displayName = nullptr);
    // Sends what is still waiting and restores the keyboard mapping.
    ~X11Input() override;
    X11Input(const X11Input&) = delete;
    X11Input& operator=(const X11Input&) = delete;

    void keybdEvent(std::uint8_t virtualKey, std::uint8_t scanCode, unsigned flags,
                    std::uintptr_t extraInfo) override;

    // Returns once every event made so far has reached the X server.
    void flush();
    // Types a character by its code, as a PacketKey event does.
    void typeCharacter(char32_t character);
    // Whether characters are mapped on spare keycodes right now.
    bool hasMappedCharacters();

    static constexpr std::chrono::milliseconds RestoreDelay{250};

private:
    struct Event {
        bool isCharacter = false;
        unsigned virtualKey = 0;
        unsigned scanCode = 0;
        bool extended = false;
        bool released = false;
        char32_t character = 0;
    };

    void run();
    void send(std::vector<Event>& events);
    void followLayout();
    // The keycode that types the character, mapped now if need be; 0 when none is free.
    unsigned keycodeFor(char32_t character);
    void mapCharacters(const std::vector<Event>& events);
    void restoreMapping();
    void waitForRestoreDelay();
    std::vector<unsigned> heldModifiers();
    // The keycodes down on the core keyboard, whoever holds them.
    std::bitset<256> keysDown();
    bool isModifier(unsigned keycode) const;

    X11Keyboard& keyboard_;
    _XDisplay* display_;
    int xkbEventBase_ = 0;
    std::unique_ptr<X11KeyMap> map_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Event> queue_;
    std::uint64_t made_ = 0;
    std::uint64_t sent_ = 0;
    bool stopping_ = false;
    // The UTF-8 bytes of a character still being typed.
    std::string pendingBytes_;

    // Worker's own state.
    std::vector<unsigned> spareKeycodes_;
    std::map<char32_t, unsigned> mapped_;
    std::atomic<std::size_t> mappedCount_{0};
    std::vector<unsigned> modifierKeycodes_;
    std::chrono::steady_clock::time_point lastUse_;
    std::thread worker_;
};

}  // namespace os::x11
