#include "os/x11/X11Keyboard.h"

#include "os/x11/ThreadInputState.h"
#include "os/x11/X11KeyMap.h"
#include "os/x11/X11Keysyms.h"

#include <X11/keysym.h>
#include <clocale>
#include <cwctype>
#include <locale.h>
#include <stdexcept>
#include <string>

namespace os::x11 {

namespace {

constexpr unsigned VkCancel = 0x03;
constexpr unsigned VkCapital = 0x14;
constexpr unsigned VkSnapshot = 0x2C;
constexpr unsigned VkNumpad0 = 0x60;
constexpr unsigned VkDecimal = 0x6E;
constexpr unsigned VkNumLock = 0x90;
constexpr unsigned VkScroll = 0x91;
constexpr unsigned VkRMenu = 0xA5;

bool isDown(const KeyStateTable& keyState, unsigned virtualKey) {
    return (keyState[virtualKey] & 0x80) != 0;
}

bool isToggled(const KeyStateTable& keyState, unsigned virtualKey) {
    return (keyState[virtualKey] & 0x01) != 0;
}

// The byte of the platform's code page that stands for the character in one key event.
std::uint16_t codePageByte(char32_t character) {
    if (character < 0x80) {
        return static_cast<std::uint16_t>(character);
    }
    return static_cast<unsigned char>(utf8(character)[0]);
}

char32_t upperCase(char32_t character) {
    static const locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
    if (unicode != nullptr) {
        return static_cast<char32_t>(towupper_l(static_cast<wint_t>(character), unicode));
    }
    return character >= U'a' && character <= U'z' ? character - 0x20 : character;
}

// What Ctrl makes of a key's character, as a United States layout does: the control
// characters of the letters and of [ \ ] ^ _, a line feed for Enter, Delete for Backspace.
char32_t controlCharacter(KeySym keysym, char32_t character) {
    switch (keysym) {
        case XK_Return:
        case XK_KP_Enter:
            return 10;
        case XK_BackSpace:
            return 127;
        case XK_Escape:
            return 27;
        case XK_space:
            return U' ';
        default:
            break;
    }
    if ((character >= U'a' && character <= U'z') || (character >= U'A' && character <= U'Z')) {
        return (character & 0x1F);
    }
    if (character == U'[' || character == U'\\' || character == U']' || character == U'^' ||
        character == U'_') {
        return character & 0x1F;
    }
    return 0;
}

}  // namespace

X11Keyboard::X11Keyboard(Errors& errors, const char* displayName)
    : errors_(errors), display_(XOpenDisplay(displayName)) {
    if (display_ == nullptr) {
        throw std::runtime_error(std::string("Cannot open the X display ") +
                                 (displayName != nullptr ? displayName : "of DISPLAY"));
    }
    int opcode = 0;
    int errorBase = 0;
    int major = XkbMajorVersion;
    int minor = XkbMinorVersion;
    if (!XkbQueryExtension(display_, &opcode, &xkbEventBase_, &errorBase, &major, &minor)) {
        XCloseDisplay(display_);
        throw std::runtime_error("The X display has no keyboard extension (XKB)");
    }
    XkbSelectEvents(display_, XkbUseCoreKbd, XkbNewKeyboardNotifyMask | XkbMapNotifyMask,
                    XkbNewKeyboardNotifyMask | XkbMapNotifyMask);
    XkbSelectEventDetails(display_, XkbUseCoreKbd, XkbStateNotify, XkbGroupStateMask,
                          XkbGroupStateMask);
    map_ = std::make_unique<X11KeyMap>(display_);
}

X11Keyboard::~X11Keyboard() {
    map_.reset();
    XCloseDisplay(display_);
}

void X11Keyboard::followLayout() const {
    bool changed = false;
    int group = map_->group();
    while (XEventsQueued(display_, QueuedAfterReading) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type != xkbEventBase_) {
            continue;
        }
        const auto* xkbEvent = reinterpret_cast<const XkbEvent*>(&event);
        switch (xkbEvent->any.xkb_type) {
            case XkbNewKeyboardNotify:
            case XkbMapNotify:
                changed = true;
                break;
            case XkbStateNotify:
                group = xkbEvent->state.group;
                break;
            default:
                break;
        }
    }
    if (changed) {
        map_->refresh();
    } else {
        map_->setGroup(group);
    }
}

void X11Keyboard::readLiveState(KeyStateTable& keyState) const {
    keyState.fill(0);
    XkbStateRec state{};
    XkbGetState(display_, XkbUseCoreKbd, &state);
    const unsigned numLockMask = XkbKeysymToModifiers(display_, XK_Num_Lock);
    const unsigned scrollLockMask = XkbKeysymToModifiers(display_, XK_Scroll_Lock);
    const bool numLock = numLockMask != 0 && (state.locked_mods & numLockMask) != 0;

    char keys[32] = {};
    XQueryKeymap(display_, keys);
    for (unsigned keycode = 8; keycode < 256; ++keycode) {
        if ((keys[keycode / 8] & (1 << (keycode % 8))) == 0) {
            continue;
        }
        if (const unsigned virtualKey = map_->virtualKeyOf(keycode, numLock)) {
            keyState[virtualKey] |= 0x80;
            keyState[X11KeyMap::genericKey(virtualKey)] |= 0x80;
        }
    }
    Window root = 0;
    Window child = 0;
    int rootX = 0;
    int rootY = 0;
    int x = 0;
    int y = 0;
    unsigned mask = 0;
    if (XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &rootX, &rootY, &x, &y,
                      &mask)) {
        keyState[0x01] |= (mask & Button1Mask) != 0 ? 0x80 : 0;
        keyState[0x02] |= (mask & Button3Mask) != 0 ? 0x80 : 0;
        keyState[0x04] |= (mask & Button2Mask) != 0 ? 0x80 : 0;
    }
    keyState[VkCapital] |= (state.locked_mods & LockMask) != 0 ? 1 : 0;
    keyState[VkNumLock] |= numLock ? 1 : 0;
    keyState[VkScroll] |= scrollLockMask != 0 && (state.locked_mods & scrollLockMask) != 0 ? 1 : 0;
}

short X11Keyboard::getKeyState(int virtualKey) const {
    if (virtualKey < 0 || virtualKey > 255) {
        return 0;
    }
    KeyStateTable keyState{};
    getKeyboardState(keyState);
    const unsigned state = keyState[static_cast<std::size_t>(virtualKey)];
    // A pressed key has the high bits of the short set (0xFF80), as the system reports it.
    return static_cast<short>(
        static_cast<unsigned short>(((state & 0x80) != 0 ? 0xFF80 : 0) | (state & 0x01)));
}

bool X11Keyboard::getKeyboardState(KeyStateTable& keyState) const {
    if (const KeyStateTable* atEvent = ThreadInputState::current()) {
        keyState = *atEvent;
        return true;
    }
    std::lock_guard lock(mutex_);
    followLayout();
    readLiveState(keyState);
    return true;
}

unsigned X11Keyboard::mapVirtualKey(unsigned code, unsigned mapType) const {
    std::lock_guard lock(mutex_);
    followLayout();
    switch (mapType) {
        case mapvk::VkToScanCode:
            // Cancel is the Break key's code and Print Screen the System Request code, as the
            // system the program was designed for answers.
            if (code == VkCancel) {
                return 0x46;
            }
            if (code == VkSnapshot) {
                return 0x54;
            }
            return code == PacketKey ? 0 : X11KeyMap::scanCodeOf(map_->keycodeOf(code)) & 0xFF;
        case mapvk::ScanCodeToVk:
        case mapvk::ScanCodeToVkEx: {
            const bool extended = (code & 0xFF00) == 0xE000;
            if ((code & 0xFF) == 0x54) {
                return VkSnapshot;
            }
            if (code == 0x45) {
                return VkNumLock;  // the Pause key sends it only after Ctrl's code
            }
            const unsigned virtualKey =
                map_->virtualKeyOf(X11KeyMap::keycodeOfScanCode(code & 0xFF, extended), false);
            return mapType == mapvk::ScanCodeToVk ? X11KeyMap::genericKey(virtualKey) : virtualKey;
        }
        case mapvk::VkToChar: {
            const KeySym keysym = map_->keysymAt(map_->keycodeOf(code), 0);
            if (const char32_t dead = deadKeyCharacter(static_cast<unsigned>(keysym))) {
                return dead | 0x80000000U;  // the system's mark of a dead key
            }
            const char32_t character = keysymCharacter(static_cast<unsigned>(keysym));
            return character >= U'a' && character <= U'z' ? character - 0x20 : character;
        }
        default:
            return 0;
    }
}

int X11Keyboard::getKeyNameText(std::uint32_t keyData, std::string& name, int bufferSize) const {
    const unsigned scanCode = (keyData & keydata::ScanCodeMask) >> keydata::ScanCodeShift;
    const bool extended = (keyData & keydata::Extended) != 0;
    unsigned keycode = X11KeyMap::keycodeOfScanCode(scanCode, extended);
    if (keycode == 0 && extended) {
        keycode = X11KeyMap::keycodeOfScanCode(scanCode, false);
    }
    if (X11KeyMap::isCharacterPosition(keycode)) {
        char32_t character = 0;
        {
            std::lock_guard lock(mutex_);
            followLayout();
            const auto keysym = static_cast<unsigned>(map_->keysymAt(keycode, 0));
            character = deadKeyCharacter(keysym);
            if (character == 0) {
                character = keysymCharacter(keysym);
            }
        }
        if (character >= U' ' && character != 0x7F && bufferSize > 0) {
            name = utf8(upperCase(character));
            // Cut to the buffer, never inside a character.
            std::size_t length = name.size();
            while (length > static_cast<std::size_t>(bufferSize - 1)) {
                do {
                    --length;
                } while (length > 0 && (static_cast<unsigned char>(name[length]) & 0xC0) == 0x80);
            }
            name.resize(length);
            return static_cast<int>(name.size());
        }
    }
    return usLayout_.getKeyNameText(keyData, name, bufferSize);
}

unsigned long X11Keyboard::translate(unsigned keycode, const KeyStateTable& keyState) const {
    const bool control = isDown(keyState, vk::Control);
    const bool alt = isDown(keyState, vk::Menu);
    // Ctrl+Alt is AltGr, as on the system the program was designed for; so is a right Alt
    // key that the layout makes the third-level shift.
    const bool altGr =
        (control && alt) || (isDown(keyState, VkRMenu) &&
                             map_->keysymAt(map_->keycodeOf(VkRMenu), 0) == XK_ISO_Level3_Shift);
    unsigned modifiers = 0;
    modifiers |= isDown(keyState, vk::Shift) ? ShiftMask : 0U;
    modifiers |= isToggled(keyState, VkCapital) ? LockMask : 0U;
    if (isToggled(keyState, VkNumLock)) {
        modifiers |= XkbKeysymToModifiers(display_, XK_Num_Lock);
    }
    if (altGr) {
        modifiers |= XkbKeysymToModifiers(display_, XK_ISO_Level3_Shift);
    }
    KeySym keysym = NoSymbol;
    unsigned consumed = 0;
    if (!XkbTranslateKeyCode(map_->description(), static_cast<KeyCode>(keycode),
                             XkbBuildCoreState(modifiers, map_->group()), &consumed, &keysym)) {
        return NoSymbol;
    }
    return keysym;
}

int X11Keyboard::toUnicode(unsigned virtualKey, unsigned scanCode, const KeyStateTable& keyState,
                           std::array<char32_t, 2>& characters) {
    if ((scanCode & 0x8000) != 0 || virtualKey >= keyState.size()) {
        return 0;
    }
    std::lock_guard lock(mutex_);
    followLayout();
    const unsigned keycode = map_->keycodeOf(virtualKey);
    if (keycode == 0) {
        return 0;
    }
    // The pad's digit keys exist only while Num Lock is on.
    KeyStateTable effective = keyState;
    if ((virtualKey >= VkNumpad0 && virtualKey <= VkNumpad0 + 9) || virtualKey == VkDecimal) {
        effective[VkNumLock] |= 0x01;
    }
    const auto keysym = static_cast<unsigned>(translate(keycode, effective));
    const bool control = isDown(keyState, vk::Control) && !isDown(keyState, vk::Menu);

    if (const char32_t dead = deadKeyCharacter(keysym); dead != 0 && !control) {
        if (pendingDeadKey_ == NoSymbol) {
            pendingDeadKey_ = keysym;
            characters[0] = dead;
            return -1;
        }
        // Two dead keys: the first one's character, then this one's.
        characters[0] = deadKeyCharacter(static_cast<unsigned>(pendingDeadKey_));
        characters[1] = dead;
        pendingDeadKey_ = NoSymbol;
        return 2;
    }
    char32_t character = keysymCharacter(keysym);
    if (control) {
        character = controlCharacter(keysym, character);
    }
    if (character == 0) {
        return 0;  // a dead key waits through Shift, Ctrl and the like
    }
    if (pendingDeadKey_ == NoSymbol) {
        characters[0] = character;
        return 1;
    }
    const auto dead = static_cast<unsigned>(pendingDeadKey_);
    pendingDeadKey_ = NoSymbol;
    if (const char32_t combined = composeDeadKey(dead, character)) {
        characters[0] = combined;
        return 1;
    }
    characters[0] = deadKeyCharacter(dead);
    characters[1] = character;
    return 2;
}

int X11Keyboard::toAscii(unsigned virtualKey, unsigned scanCode, const KeyStateTable& keyState,
                         AsciiBuffer& characters, unsigned /*flags*/) {
    std::array<char32_t, 2> unicode{};
    const int result = toUnicode(virtualKey, scanCode, keyState, unicode);
    const int count = result < 0 ? 1 : result;
    for (int i = 0; i < count; ++i) {
        characters[static_cast<std::size_t>(i)] =
            codePageByte(unicode[static_cast<std::size_t>(i)]);
    }
    return result;
}

short X11Keyboard::vkKeyScan(char character) const {
    const auto byte = static_cast<unsigned char>(character);
    const auto remember = [&] {
        std::lock_guard lock(mutex_);
        packetByte_ = byte;
        return static_cast<short>(PacketKey);
    };
    if (byte >= 0x80) {
        return remember();
    }
    switch (byte) {
        case 8:
        case 9:
        case 13:
        case 27:
            return static_cast<short>(byte);
        case 10:  // Ctrl+Enter
            return static_cast<short>(vkscan::Control << 8 | 0x0D);
        case 127:  // Ctrl+Backspace
            return static_cast<short>(vkscan::Control << 8 | 0x08);
        default:
            break;
    }
    // A control character is Ctrl with the key of its letter, or of \ ] ^ _ for 28 to 31.
    const bool isControl = byte >= 1 && byte < 0x20;
    if (byte == 0) {
        return -1;
    }
    const char32_t wanted = byte >= 1 && byte <= 26 ? U'a' + byte - 1
                            : isControl             ? byte + 0x40
                                                    : byte;
    {
        std::lock_guard lock(mutex_);
        followLayout();
        constexpr unsigned SpaceKeycode = 65;
        // Keys in their order on the keyboard, each with its plain level first.
        for (unsigned keycode = 8; keycode < 256; ++keycode) {
            if (!X11KeyMap::isCharacterPosition(keycode) && keycode != SpaceKeycode) {
                continue;
            }
            for (int level = 0; level < 2; ++level) {
                const auto keysym = static_cast<unsigned>(map_->keysymAt(keycode, level));
                if (keysymCharacter(keysym) != wanted || (level == 1 && byte >= 1 && byte <= 26)) {
                    continue;
                }
                const unsigned modifiers =
                    (isControl ? vkscan::Control : 0U) | (level == 1 ? vkscan::Shift : 0U);
                return static_cast<short>(modifiers << 8 | map_->virtualKeyOf(keycode, false));
            }
        }
    }
    return isControl ? static_cast<short>(-1) : remember();
}

std::optional<unsigned char> X11Keyboard::takePacketByte() {
    std::lock_guard lock(mutex_);
    const std::optional<unsigned char> byte = packetByte_;
    packetByte_.reset();
    return byte;
}

}  // namespace os::x11
