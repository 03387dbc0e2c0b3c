#pragma once

#include "os/Errors.h"
#include "os/Keyboard.h"
#include "os/posix/ConsoleKeyboard.h"

#include <array>
#include <memory>
#include <mutex>
#include <optional>

// Xlib stays out of the header, whose users need not see its macros.
struct _XDisplay;

namespace os::x11 {

class X11KeyMap;

// The virtual key of a character typed by its own code rather than by a key of the layout.
inline constexpr unsigned PacketKey = 0xE7;

// The keyboard of the X display: key state and the queries of the current XKB layout, on a
// connection of its own. The layout is followed as XKB reports changes of the mapping or the
// group.
//
// Characters are the platform's 8-bit code page, UTF-8. toAscii reports a character outside
// ASCII by the first byte of its UTF-8 form (one key event carries one byte, and that byte is
// never part of an ASCII abbreviation); toUnicode gives the characters themselves.
// vkKeyScan answers PacketKey for every byte that no key of the layout types without AltGr
// (each byte of a character outside ASCII, "@" on a German layout) and keeps the byte for the
// input, whose PacketKey events type it (see X11Input).
class X11Keyboard final : public Keyboard {
public:
    // Opens its own connection; nullptr for the display of $DISPLAY. Throws
    // std::runtime_error when the display cannot be opened.
    explicit X11Keyboard(Errors& errors, const char* displayName = nullptr);
    ~X11Keyboard() override;
    X11Keyboard(const X11Keyboard&) = delete;
    X11Keyboard& operator=(const X11Keyboard&) = delete;

    short getKeyState(int virtualKey) const override;
    bool getKeyboardState(KeyStateTable& keyState) const override;
    unsigned mapVirtualKey(unsigned code, unsigned mapType) const override;
    int getKeyNameText(std::uint32_t keyData, std::string& name, int bufferSize) const override;
    int toAscii(unsigned virtualKey, unsigned scanCode, const KeyStateTable& keyState,
                AsciiBuffer& characters, unsigned flags) override;
    short vkKeyScan(char character) const override;

    // As toAscii, with the characters as Unicode code points.
    int toUnicode(unsigned virtualKey, unsigned scanCode, const KeyStateTable& keyState,
                  std::array<char32_t, 2>& characters);
    // The byte that the last vkKeyScan answered PacketKey for, once.
    std::optional<unsigned char> takePacketByte();

private:
    // Takes in the layout changes XKB has reported. Called with mutex_ held.
    void followLayout() const;
    // The live state of every key, from the server.
    void readLiveState(KeyStateTable& keyState) const;
    unsigned long translate(unsigned keycode, const KeyStateTable& keyState) const;

    Errors& errors_;
    _XDisplay* display_;
    int xkbEventBase_ = 0;
    mutable std::mutex mutex_;
    std::unique_ptr<X11KeyMap> map_;
    // Names of the keys that type no character, as on a United States keyboard.
    posix::ConsoleKeyboard usLayout_;
    unsigned long pendingDeadKey_ = 0;  // NoSymbol: none waits
    mutable std::optional<unsigned char> packetByte_;
};

}  // namespace os::x11
