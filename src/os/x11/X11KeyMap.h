#pragma once

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <array>
#include <vector>

namespace os::x11 {

// Where the keys of the X keyboard sit in the program's vocabulary: X keycodes to and from
// the scan codes of a PC keyboard, and to and from the virtual keys of the current layout.
// Keycodes are the evdev ones (evdev code + 8), which every current X server uses.
//
// Letters and digits take their virtual key from what the key types in the current group
// (a German layout's Z key is 'Z', wherever it sits), as do the keys that type "+", ",", "-"
// and "."; the other character keys keep the virtual key of their United States position,
// and a position whose key was taken by another key gets the one that became free. Keys that
// type no character have one virtual key wherever the layout puts them.
//
// Not thread-safe: each user keeps its own map over its own connection.
class X11KeyMap {
public:
    // Scan codes here: the set-1 scan code in the low byte, 0x100 for the extended flag.
    static constexpr unsigned ExtendedScan = 0x100;

    // Reads the layout of the display's keyboard. The display stays the caller's.
    explicit X11KeyMap(Display* display);
    ~X11KeyMap();
    X11KeyMap(const X11KeyMap&) = delete;
    X11KeyMap& operator=(const X11KeyMap&) = delete;

    // Reads the keyboard's mapping and group again, after XKB reported a change.
    void refresh();
    // Takes another group (layout) as the current one, without asking the server.
    void setGroup(int group);
    int group() const { return group_; }

    // 0 when the keycode has no scan code.
    static unsigned scanCodeOf(unsigned keycode);
    // 0 when no key sends the scan code.
    static unsigned keycodeOfScanCode(unsigned scanCode, bool extended);

    // The virtual key the key sends: the side of Shift, Ctrl and Alt told apart (0xA0..0xA5);
    // the keys of the numeric pad send their digits while Num Lock is on. 0 for none.
    unsigned virtualKeyOf(unsigned keycode, bool numLock) const;
    // The key that sends the virtual key; Shift, Ctrl and Alt are the left keys, and the
    // digits of the numeric pad are its keys (with Num Lock on). 0 for none.
    unsigned keycodeOf(unsigned virtualKey) const;
    // Shift, Ctrl or Alt for a side-specific key; other keys stay as they are.
    static unsigned genericKey(unsigned virtualKey);
    // Whether the key's virtual key depends on what the layout puts on it.
    static bool isCharacterPosition(unsigned keycode);

    // What the key types at the level in the current group; NoSymbol for nothing.
    KeySym keysymAt(unsigned keycode, int level) const;
    // Keycodes that type nothing in any group and that no key of a PC keyboard sends: free
    // for characters the layout lacks.
    std::vector<unsigned> spareKeycodes() const;

    Display* display() const { return display_; }
    XkbDescPtr description() const { return xkb_; }

private:
    void assignCharacterKeys();

    Display* display_;
    XkbDescPtr xkb_ = nullptr;
    int group_ = 0;
    // Virtual key by keycode for the character positions, from the current group.
    std::array<unsigned, 256> characterKeys_{};
};

}  // namespace os::x11
