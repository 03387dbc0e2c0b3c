#include "os/x11/X11KeyMap.h"

#include <X11/keysym.h>
#include <algorithm>
#include <iterator>

namespace os::x11 {

namespace {

constexpr unsigned EvdevOffset = 8;
constexpr unsigned Ext = X11KeyMap::ExtendedScan;

// A key whose virtual key does not depend on the layout. Keys of the numeric pad send
// `numLockKey` while Num Lock is on.
struct FixedKey {
    unsigned evdev;
    unsigned scan;
    unsigned virtualKey;
    unsigned numLockKey;
};

constexpr FixedKey fixedKeys[] = {
    {1, 0x01, 0x1B, 0},
    {14, 0x0E, 0x08, 0},
    {15, 0x0F, 0x09, 0},
    {28, 0x1C, 0x0D, 0},
    {29, 0x1D, 0xA2, 0},
    {42, 0x2A, 0xA0, 0},
    {54, 0x36, 0xA1, 0},
    {55, 0x37, 0x6A, 0},
    {56, 0x38, 0xA4, 0},
    {57, 0x39, 0x20, 0},
    {58, 0x3A, 0x14, 0},
    {59, 0x3B, 0x70, 0},
    {60, 0x3C, 0x71, 0},
    {61, 0x3D, 0x72, 0},
    {62, 0x3E, 0x73, 0},
    {63, 0x3F, 0x74, 0},
    {64, 0x40, 0x75, 0},
    {65, 0x41, 0x76, 0},
    {66, 0x42, 0x77, 0},
    {67, 0x43, 0x78, 0},
    {68, 0x44, 0x79, 0},
    {69, 0x45 | Ext, 0x90, 0},
    {70, 0x46, 0x91, 0},
    {71, 0x47, 0x24, 0x67},
    {72, 0x48, 0x26, 0x68},
    {73, 0x49, 0x21, 0x69},
    {74, 0x4A, 0x6D, 0},
    {75, 0x4B, 0x25, 0x64},
    {76, 0x4C, 0x0C, 0x65},
    {77, 0x4D, 0x27, 0x66},
    {78, 0x4E, 0x6B, 0},
    {79, 0x4F, 0x23, 0x61},
    {80, 0x50, 0x28, 0x62},
    {81, 0x51, 0x22, 0x63},
    {82, 0x52, 0x2D, 0x60},
    {83, 0x53, 0x2E, 0x6E},
    {87, 0x57, 0x7A, 0},
    {88, 0x58, 0x7B, 0},
    {96, 0x1C | Ext, 0x0D, 0},
    {97, 0x1D | Ext, 0xA3, 0},
    {98, 0x35 | Ext, 0x6F, 0},
    {99, 0x37 | Ext, 0x2C, 0},
    {100, 0x38 | Ext, 0xA5, 0},
    {102, 0x47 | Ext, 0x24, 0},
    {103, 0x48 | Ext, 0x26, 0},
    {104, 0x49 | Ext, 0x21, 0},
    {105, 0x4B | Ext, 0x25, 0},
    {106, 0x4D | Ext, 0x27, 0},
    {107, 0x4F | Ext, 0x23, 0},
    {108, 0x50 | Ext, 0x28, 0},
    {109, 0x51 | Ext, 0x22, 0},
    {110, 0x52 | Ext, 0x2D, 0},
    {111, 0x53 | Ext, 0x2E, 0},
    {119, 0x45, 0x13, 0},
    {125, 0x5B | Ext, 0x5B, 0},
    {126, 0x5C | Ext, 0x5C, 0},
    {127, 0x5D | Ext, 0x5D, 0},
    {183, 0x64, 0x7C, 0},
    {184, 0x65, 0x7D, 0},
    {185, 0x66, 0x7E, 0},
    {186, 0x67, 0x7F, 0},
    {187, 0x68, 0x80, 0},
    {188, 0x69, 0x81, 0},
    {189, 0x6A, 0x82, 0},
    {190, 0x6B, 0x83, 0},
    {191, 0x6C, 0x84, 0},
    {192, 0x6D, 0x85, 0},
    {193, 0x6E, 0x86, 0},
    {194, 0x76, 0x87, 0},
    // Browser, media and launch keys.
    {158, 0x6A | Ext, 0xA6, 0},
    {159, 0x69 | Ext, 0xA7, 0},
    {173, 0x67 | Ext, 0xA8, 0},
    {128, 0x68 | Ext, 0xA9, 0},
    {217, 0x65 | Ext, 0xAA, 0},
    {156, 0x66 | Ext, 0xAB, 0},
    {172, 0x32 | Ext, 0xAC, 0},
    {113, 0x20 | Ext, 0xAD, 0},
    {114, 0x2E | Ext, 0xAE, 0},
    {115, 0x30 | Ext, 0xAF, 0},
    {163, 0x19 | Ext, 0xB0, 0},
    {165, 0x10 | Ext, 0xB1, 0},
    {166, 0x24 | Ext, 0xB2, 0},
    {164, 0x22 | Ext, 0xB3, 0},
    {155, 0x6C | Ext, 0xB4, 0},
    {226, 0x6D | Ext, 0xB5, 0},
    {144, 0x6B | Ext, 0xB6, 0},
    {140, 0x21 | Ext, 0xB7, 0},
};

// A key that types characters, with the virtual key of its United States position. Its
// scan code is its evdev code.
struct CharacterPosition {
    unsigned evdev;
    unsigned virtualKey;
};

constexpr CharacterPosition characterPositions[] = {
    {2, '1'},  {3, '2'},   {4, '3'},   {5, '4'},   {6, '5'},   {7, '6'},   {8, '7'},   {9, '8'},
    {10, '9'}, {11, '0'},  {12, 0xBD}, {13, 0xBB}, {16, 'Q'},  {17, 'W'},  {18, 'E'},  {19, 'R'},
    {20, 'T'}, {21, 'Y'},  {22, 'U'},  {23, 'I'},  {24, 'O'},  {25, 'P'},  {26, 0xDB}, {27, 0xDD},
    {30, 'A'}, {31, 'S'},  {32, 'D'},  {33, 'F'},  {34, 'G'},  {35, 'H'},  {36, 'J'},  {37, 'K'},
    {38, 'L'}, {39, 0xBA}, {40, 0xDE}, {41, 0xC0}, {43, 0xDC}, {44, 'Z'},  {45, 'X'},  {46, 'C'},
    {47, 'V'}, {48, 'B'},  {49, 'N'},  {50, 'M'},  {51, 0xBC}, {52, 0xBE}, {53, 0xBF}, {86, 0xE2},
};

const FixedKey* findFixed(unsigned keycode) {
    const auto* found =
        std::find_if(std::begin(fixedKeys), std::end(fixedKeys),
                     [&](const FixedKey& key) { return key.evdev + EvdevOffset == keycode; });
    return found == std::end(fixedKeys) ? nullptr : found;
}

const CharacterPosition* findPosition(unsigned keycode) {
    const auto* found = std::find_if(
        std::begin(characterPositions), std::end(characterPositions),
        [&](const CharacterPosition& key) { return key.evdev + EvdevOffset == keycode; });
    return found == std::end(characterPositions) ? nullptr : found;
}

// The virtual key that what a key types gives it, 0 when its position decides.
unsigned virtualKeyOfKeysym(KeySym keysym) {
    if (keysym >= XK_a && keysym <= XK_z) {
        return static_cast<unsigned>(keysym - XK_a + 'A');
    }
    if ((keysym >= XK_A && keysym <= XK_Z) || (keysym >= XK_0 && keysym <= XK_9)) {
        return static_cast<unsigned>(keysym);
    }
    switch (keysym) {
        case XK_plus:
            return 0xBB;
        case XK_comma:
            return 0xBC;
        case XK_minus:
            return 0xBD;
        case XK_period:
            return 0xBE;
        default:
            return 0;
    }
}

}  // namespace

X11KeyMap::X11KeyMap(Display* display) : display_(display) {
    refresh();
}

X11KeyMap::~X11KeyMap() {
    if (xkb_ != nullptr) {
        XkbFreeKeyboard(xkb_, 0, True);
    }
}

void X11KeyMap::refresh() {
    if (xkb_ != nullptr) {
        XkbFreeKeyboard(xkb_, 0, True);
    }
    xkb_ = XkbGetMap(display_, XkbAllClientInfoMask, XkbUseCoreKbd);
    XkbStateRec state{};
    if (XkbGetState(display_, XkbUseCoreKbd, &state) == Success) {
        group_ = state.group;
    }
    assignCharacterKeys();
}

void X11KeyMap::setGroup(int group) {
    if (group != group_) {
        group_ = group;
        assignCharacterKeys();
    }
}

void X11KeyMap::assignCharacterKeys() {
    characterKeys_.fill(0);
    std::array<bool, 256> taken{};
    // Letters, digits and the four punctuation keys by what they type.
    for (const CharacterPosition& position : characterPositions) {
        const unsigned keycode = position.evdev + EvdevOffset;
        const unsigned virtualKey = virtualKeyOfKeysym(keysymAt(keycode, 0));
        if (virtualKey != 0 && !taken[virtualKey]) {
            characterKeys_[keycode] = virtualKey;
            taken[virtualKey] = true;
        }
    }
    // The rest by position; a position whose key went elsewhere hands its key on.
    std::vector<unsigned> waiting;
    for (const CharacterPosition& position : characterPositions) {
        const unsigned keycode = position.evdev + EvdevOffset;
        if (characterKeys_[keycode] != 0) {
            continue;
        }
        if (!taken[position.virtualKey]) {
            characterKeys_[keycode] = position.virtualKey;
            taken[position.virtualKey] = true;
        } else {
            waiting.push_back(keycode);
        }
    }
    auto next = waiting.begin();
    for (const CharacterPosition& position : characterPositions) {
        if (next == waiting.end()) {
            break;
        }
        if (!taken[position.virtualKey]) {
            characterKeys_[*next++] = position.virtualKey;
            taken[position.virtualKey] = true;
        }
    }
}

unsigned X11KeyMap::scanCodeOf(unsigned keycode) {
    if (const FixedKey* fixed = findFixed(keycode)) {
        return fixed->scan;
    }
    if (const CharacterPosition* position = findPosition(keycode)) {
        return position->evdev;
    }
    return 0;
}

unsigned X11KeyMap::keycodeOfScanCode(unsigned scanCode, bool extended) {
    const unsigned wanted = (scanCode & 0xFF) | (extended ? Ext : 0U);
    for (const FixedKey& fixed : fixedKeys) {
        if (fixed.scan == wanted) {
            return fixed.evdev + EvdevOffset;
        }
    }
    for (const CharacterPosition& position : characterPositions) {
        if (position.evdev == wanted) {
            return position.evdev + EvdevOffset;
        }
    }
    return 0;
}

unsigned X11KeyMap::virtualKeyOf(unsigned keycode, bool numLock) const {
    if (const FixedKey* fixed = findFixed(keycode)) {
        return numLock && fixed->numLockKey != 0 ? fixed->numLockKey : fixed->virtualKey;
    }
    return keycode < characterKeys_.size() ? characterKeys_[keycode] : 0;
}

unsigned X11KeyMap::keycodeOf(unsigned virtualKey) const {
    switch (virtualKey) {
        case 0x10:
            return 42 + EvdevOffset;
        case 0x11:
            return 29 + EvdevOffset;
        case 0x12:
            return 56 + EvdevOffset;
        case 0x03:  // Cancel is Ctrl+Break, made by the Pause key
            return 119 + EvdevOffset;
        default:
            break;
    }
    if (virtualKey == 0) {
        return 0;
    }
    for (const FixedKey& fixed : fixedKeys) {
        if (fixed.numLockKey == virtualKey) {
            return fixed.evdev + EvdevOffset;
        }
    }
    // The grey navigation keys come after the pad's in the table; take them first.
    unsigned found = 0;
    for (const FixedKey& fixed : fixedKeys) {
        if (fixed.virtualKey == virtualKey) {
            found = fixed.evdev + EvdevOffset;
            if (fixed.numLockKey == 0) {
                return found;
            }
        }
    }
    if (found != 0) {
        return found;
    }
    const auto* position = std::find(characterKeys_.begin(), characterKeys_.end(), virtualKey);
    return position == characterKeys_.end()
               ? 0
               : static_cast<unsigned>(position - characterKeys_.begin());
}

unsigned X11KeyMap::genericKey(unsigned virtualKey) {
    switch (virtualKey) {
        case 0xA0:
        case 0xA1:
            return 0x10;
        case 0xA2:
        case 0xA3:
            return 0x11;
        case 0xA4:
        case 0xA5:
            return 0x12;
        default:
            return virtualKey;
    }
}

bool X11KeyMap::isCharacterPosition(unsigned keycode) {
    return findPosition(keycode) != nullptr;
}

KeySym X11KeyMap::keysymAt(unsigned keycode, int level) const {
    if (xkb_ == nullptr || keycode < xkb_->min_key_code || keycode > xkb_->max_key_code) {
        return NoSymbol;
    }
    const auto key = static_cast<KeyCode>(keycode);
    const int groups = XkbKeyNumGroups(xkb_, key);
    if (groups == 0) {
        return NoSymbol;
    }
    // A group the key lacks wraps around, as the server does by default.
    const int group = group_ % groups;
    if (level < 0 || level >= XkbKeyGroupWidth(xkb_, key, group)) {
        return NoSymbol;
    }
    return XkbKeySymEntry(xkb_, key, level, group);
}

std::vector<unsigned> X11KeyMap::spareKeycodes() const {
    std::vector<unsigned> spare;
    if (xkb_ == nullptr) {
        return spare;
    }
    for (unsigned keycode = xkb_->min_key_code; keycode <= xkb_->max_key_code; ++keycode) {
        if (XkbKeyNumSyms(xkb_, keycode) == 0 && scanCodeOf(keycode) == 0) {
            spare.push_back(keycode);
        }
    }
    return spare;
}

}  // namespace os::x11
