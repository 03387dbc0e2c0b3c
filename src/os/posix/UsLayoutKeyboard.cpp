#include "os/posix/UsLayoutKeyboard.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace os::posix {

namespace {

// One physical key: its scan code, the virtual key it sends, the character it types without
// modifiers (0 for none) and its name.
struct PhysicalKey {
    unsigned scanCode;
    unsigned virtualKey;
    char character;
    const char* name;
};

// Keys without the extended flag. The numeric pad sends its navigation keys here; the digit
// keys of the pad map to the same scan codes below.
constexpr PhysicalKey plainKeys[] = {
    {0x01, 0x1B, 0x1B, "Esc"},      {0x02, '1', '1', "1"},           {0x03, '2', '2', "2"},
    {0x04, '3', '3', "3"},          {0x05, '4', '4', "4"},           {0x06, '5', '5', "5"},
    {0x07, '6', '6', "6"},          {0x08, '7', '7', "7"},           {0x09, '8', '8', "8"},
    {0x0A, '9', '9', "9"},          {0x0B, '0', '0', "0"},           {0x0C, 0xBD, '-', "-"},
    {0x0D, 0xBB, '=', "="},         {0x0E, 0x08, '\b', "Backspace"}, {0x0F, 0x09, '\t', "Tab"},
    {0x10, 'Q', 'Q', "Q"},          {0x11, 'W', 'W', "W"},           {0x12, 'E', 'E', "E"},
    {0x13, 'R', 'R', "R"},          {0x14, 'T', 'T', "T"},           {0x15, 'Y', 'Y', "Y"},
    {0x16, 'U', 'U', "U"},          {0x17, 'I', 'I', "I"},           {0x18, 'O', 'O', "O"},
    {0x19, 'P', 'P', "P"},          {0x1A, 0xDB, '[', "["},          {0x1B, 0xDD, ']', "]"},
    {0x1C, 0x0D, '\r', "Enter"},    {0x1D, 0xA2, 0, "Ctrl"},         {0x1E, 'A', 'A', "A"},
    {0x1F, 'S', 'S', "S"},          {0x20, 'D', 'D', "D"},           {0x21, 'F', 'F', "F"},
    {0x22, 'G', 'G', "G"},          {0x23, 'H', 'H', "H"},           {0x24, 'J', 'J', "J"},
    {0x25, 'K', 'K', "K"},          {0x26, 'L', 'L', "L"},           {0x27, 0xBA, ';', ";"},
    {0x28, 0xDE, '\'', "'"},        {0x29, 0xC0, '`', "`"},          {0x2A, 0xA0, 0, "Shift"},
    {0x2B, 0xDC, '\\', "\\"},       {0x2C, 'Z', 'Z', "Z"},           {0x2D, 'X', 'X', "X"},
    {0x2E, 'C', 'C', "C"},          {0x2F, 'V', 'V', "V"},           {0x30, 'B', 'B', "B"},
    {0x31, 'N', 'N', "N"},          {0x32, 'M', 'M', "M"},           {0x33, 0xBC, ',', ","},
    {0x34, 0xBE, '.', "."},         {0x35, 0xBF, '/', "/"},          {0x36, 0xA1, 0, "Right Shift"},
    {0x37, 0x6A, '*', "Num *"},     {0x38, 0xA4, 0, "Alt"},          {0x39, 0x20, ' ', "Space"},
    {0x3A, 0x14, 0, "Caps Lock"},   {0x3B, 0x70, 0, "F1"},           {0x3C, 0x71, 0, "F2"},
    {0x3D, 0x72, 0, "F3"},          {0x3E, 0x73, 0, "F4"},           {0x3F, 0x74, 0, "F5"},
    {0x40, 0x75, 0, "F6"},          {0x41, 0x76, 0, "F7"},           {0x42, 0x77, 0, "F8"},
    {0x43, 0x78, 0, "F9"},          {0x44, 0x79, 0, "F10"},          {0x45, 0x90, 0, "Pause"},
    {0x46, 0x91, 0, "Scroll Lock"}, {0x47, 0x24, 0, "Num 7"},        {0x48, 0x26, 0, "Num 8"},
    {0x49, 0x21, 0, "Num 9"},       {0x4A, 0x6D, '-', "Num -"},      {0x4B, 0x25, 0, "Num 4"},
    {0x4C, 0x0C, 0, "Num 5"},       {0x4D, 0x27, 0, "Num 6"},        {0x4E, 0x6B, '+', "Num +"},
    {0x4F, 0x23, 0, "Num 1"},       {0x50, 0x28, 0, "Num 2"},        {0x51, 0x22, 0, "Num 3"},
    {0x52, 0x2D, 0, "Num 0"},       {0x53, 0x2E, 0, "Num Del"},      {0x54, 0x2C, 0, "Sys Req"},
    {0x56, 0xE2, '\\', "\\"},       {0x57, 0x7A, 0, "F11"},          {0x58, 0x7B, 0, "F12"},
    {0x64, 0x7C, 0, "F13"},         {0x65, 0x7D, 0, "F14"},          {0x66, 0x7E, 0, "F15"},
    {0x67, 0x7F, 0, "F16"},         {0x68, 0x80, 0, "F17"},          {0x69, 0x81, 0, "F18"},
    {0x6A, 0x82, 0, "F19"},         {0x6B, 0x83, 0, "F20"},          {0x6C, 0x84, 0, "F21"},
    {0x6D, 0x85, 0, "F22"},         {0x6E, 0x86, 0, "F23"},          {0x76, 0x87, 0, "F24"},
};

// Keys that send the extended flag.
constexpr PhysicalKey extendedKeys[] = {
    {0x1C, 0x0D, '\r', "Num Enter"}, {0x1D, 0xA3, 0, "Right Ctrl"},
    {0x35, 0x6F, '/', "Num /"},      {0x37, 0x2C, 0, "Prnt Scrn"},
    {0x38, 0xA5, 0, "Right Alt"},    {0x45, 0x90, 0, "Num Lock"},
    {0x46, 0x03, 0, "Break"},        {0x47, 0x24, 0, "Home"},
    {0x48, 0x26, 0, "Up"},           {0x49, 0x21, 0, "Page Up"},
    {0x4B, 0x25, 0, "Left"},         {0x4D, 0x27, 0, "Right"},
    {0x4F, 0x23, 0, "End"},          {0x50, 0x28, 0, "Down"},
    {0x51, 0x22, 0, "Page Down"},    {0x52, 0x2D, 0, "Insert"},
    {0x53, 0x2E, 0, "Delete"},       {0x54, 0x2C, 0, "Prnt Scrn"},
    {0x5B, 0x5B, 0, "Left Windows"}, {0x5C, 0x5C, 0, "Right Windows"},
    {0x5D, 0x5D, 0, "Application"},
};

// Virtual keys whose scan code is not the one of the first physical key that sends them,
// and keys that only the numeric pad types.
struct VirtualKeyScan {
    unsigned virtualKey;
    unsigned scanCode;
    char character;
};

constexpr VirtualKeyScan extraScans[] = {
    // Cancel (Ctrl+Break), the generic Shift, Ctrl and Alt, and Pause.
    {0x03, 0x46, 0},
    {0x10, 0x2A, 0},
    {0x11, 0x1D, 0},
    {0x12, 0x38, 0},
    {0x13, 0x45, 0},
    // The numeric pad's digits, decimal point and divide.
    {0x60, 0x52, '0'},
    {0x61, 0x4F, '1'},
    {0x62, 0x50, '2'},
    {0x63, 0x51, '3'},
    {0x64, 0x4B, '4'},
    {0x65, 0x4C, '5'},
    {0x66, 0x4D, '6'},
    {0x67, 0x47, '7'},
    {0x68, 0x48, '8'},
    {0x69, 0x49, '9'},
    {0x6E, 0x53, '.'},
    {0x6F, 0x35, '/'},
    // The right Ctrl and Alt keys.
    {0xA3, 0x1D, 0},
    {0xA5, 0x38, 0},
};

template <std::size_t N>
const PhysicalKey* find(const PhysicalKey (&keys)[N], unsigned PhysicalKey::*field,
                        unsigned value) {
    const auto* found = std::find_if(std::begin(keys), std::end(keys),
                                     [&](const PhysicalKey& key) { return key.*field == value; });
    return found == std::end(keys) ? nullptr : found;
}

const PhysicalKey* findByScan(unsigned scanCode, bool extended) {
    return extended ? find(extendedKeys, &PhysicalKey::scanCode, scanCode)
                    : find(plainKeys, &PhysicalKey::scanCode, scanCode);
}

const PhysicalKey* findByVirtualKey(unsigned virtualKey) {
    if (const PhysicalKey* key = find(plainKeys, &PhysicalKey::virtualKey, virtualKey)) {
        return key;
    }
    return find(extendedKeys, &PhysicalKey::virtualKey, virtualKey);
}

const VirtualKeyScan* findExtra(unsigned virtualKey) {
    const auto* found =
        std::find_if(std::begin(extraScans), std::end(extraScans),
                     [&](const VirtualKeyScan& key) { return key.virtualKey == virtualKey; });
    return found == std::end(extraScans) ? nullptr : found;
}

unsigned scanCodeOf(unsigned virtualKey) {
    if (const VirtualKeyScan* extra = findExtra(virtualKey)) {
        return extra->scanCode;
    }
    const PhysicalKey* key = findByVirtualKey(virtualKey);
    return key == nullptr ? 0 : key->scanCode;
}

char characterOf(unsigned virtualKey) {
    if (const VirtualKeyScan* extra = findExtra(virtualKey)) {
        return extra->character;
    }
    const PhysicalKey* key = findByVirtualKey(virtualKey);
    return key == nullptr ? 0 : key->character;
}

unsigned virtualKeyOf(unsigned code, bool distinguishSides) {
    // A scan code may carry the extended prefix 0xE0 in its second byte.
    const bool extended = (code & 0xFF00) == 0xE000;
    const PhysicalKey* key = findByScan(code & 0xFF, extended);
    if (key == nullptr) {
        return 0;
    }
    if (distinguishSides) {
        return key->virtualKey;
    }
    switch (key->virtualKey) {
        case vk::LShift:
        case vk::RShift:
            return vk::Shift;
        case vk::LControl:
        case vk::RControl:
            return vk::Control;
        case vk::LMenu:
        case vk::RMenu:
            return vk::Menu;
        default:
            return key->virtualKey;
    }
}

// What a key types with each combination of Shift and Ctrl; -1 for nothing.
struct CharacterKey {
    unsigned virtualKey;
    // Caps Lock swaps the plain and the shifted character (letters only).
    bool capsLock;
    int plain;
    int shifted;
    int control;
    int shiftedControl;
};

constexpr int None = -1;

// In the order vkKeyScan searches them: the first key that types a character is its key, so
// Backspace types 8 rather than Ctrl+H, Escape 27 rather than Ctrl+[, and the numeric pad
// comes last.
constexpr CharacterKey characterKeys[] = {
    {0x08, false, 0x08, 0x08, 0x7F, None},
    {0x09, false, '\t', '\t', None, None},
    {0x0D, false, '\r', '\r', '\n', None},
    {0x1B, false, 0x1B, 0x1B, 0x1B, None},
    {0x20, false, ' ', ' ', ' ', None},
    {'A', true, 'a', 'A', 0x01, None},
    {'B', true, 'b', 'B', 0x02, None},
    {'C', true, 'c', 'C', 0x03, None},
    {'D', true, 'd', 'D', 0x04, None},
    {'E', true, 'e', 'E', 0x05, None},
    {'F', true, 'f', 'F', 0x06, None},
    {'G', true, 'g', 'G', 0x07, None},
    {'H', true, 'h', 'H', 0x08, None},
    {'I', true, 'i', 'I', 0x09, None},
    {'J', true, 'j', 'J', 0x0A, None},
    {'K', true, 'k', 'K', 0x0B, None},
    {'L', true, 'l', 'L', 0x0C, None},
    {'M', true, 'm', 'M', 0x0D, None},
    {'N', true, 'n', 'N', 0x0E, None},
    {'O', true, 'o', 'O', 0x0F, None},
    {'P', true, 'p', 'P', 0x10, None},
    {'Q', true, 'q', 'Q', 0x11, None},
    {'R', true, 'r', 'R', 0x12, None},
    {'S', true, 's', 'S', 0x13, None},
    {'T', true, 't', 'T', 0x14, None},
    {'U', true, 'u', 'U', 0x15, None},
    {'V', true, 'v', 'V', 0x16, None},
    {'W', true, 'w', 'W', 0x17, None},
    {'X', true, 'x', 'X', 0x18, None},
    {'Y', true, 'y', 'Y', 0x19, None},
    {'Z', true, 'z', 'Z', 0x1A, None},
    {'1', false, '1', '!', None, None},
    {'2', false, '2', '@', None, None},
    {'3', false, '3', '#', None, None},
    {'4', false, '4', '$', None, None},
    {'5', false, '5', '%', None, None},
    {'6', false, '6', '^', None, 0x1E},
    {'7', false, '7', '&', None, None},
    {'8', false, '8', '*', None, None},
    {'9', false, '9', '(', None, None},
    {'0', false, '0', ')', None, None},
    {0xBD, false, '-', '_', None, 0x1F},
    {0xBB, false, '=', '+', None, None},
    {0xDB, false, '[', '{', 0x1B, None},
    {0xDD, false, ']', '}', 0x1D, None},
    {0xDC, false, '\\', '|', 0x1C, None},
    {0xBA, false, ';', ':', None, None},
    {0xDE, false, '\'', '"', None, None},
    {0xC0, false, '`', '~', None, None},
    {0xBC, false, ',', '<', None, None},
    {0xBE, false, '.', '>', None, None},
    {0xBF, false, '/', '?', None, None},
    {0xE2, false, '\\', '|', 0x1C, None},
    // The numeric pad (its digits while Num Lock is on).
    {0x60, false, '0', None, None, None},
    {0x61, false, '1', None, None, None},
    {0x62, false, '2', None, None, None},
    {0x63, false, '3', None, None, None},
    {0x64, false, '4', None, None, None},
    {0x65, false, '5', None, None, None},
    {0x66, false, '6', None, None, None},
    {0x67, false, '7', None, None, None},
    {0x68, false, '8', None, None, None},
    {0x69, false, '9', None, None, None},
    {0x6A, false, '*', '*', None, None},
    {0x6B, false, '+', '+', None, None},
    {0x6D, false, '-', '-', None, None},
    {0x6E, false, '.', '.', None, None},
    {0x6F, false, '/', '/', None, None},
};

const CharacterKey* findCharacterKey(unsigned virtualKey) {
    static const std::array<const CharacterKey*, 256> byVirtualKey = [] {
        std::array<const CharacterKey*, 256> table{};
        for (const CharacterKey& key : characterKeys) {
            table[key.virtualKey] = &key;
        }
        return table;
    }();
    return virtualKey < byVirtualKey.size() ? byVirtualKey[virtualKey] : nullptr;
}

// The character the key types with the modifiers; None for nothing.
int characterWith(const CharacterKey& key, unsigned modifiers) {
    switch (modifiers) {
        case 0:
            return key.plain;
        case vkscan::Shift:
            return key.shifted;
        case vkscan::Control:
            return key.control;
        case vkscan::Shift | vkscan::Control:
            return key.shiftedControl;
        default:
            return None;
    }
}

// vkKeyScan's answer for every character, worked out once.
const std::array<short, 256>& keyScans() {
    static const std::array<short, 256> table = [] {
        std::array<short, 256> scans{};
        scans.fill(-1);
        constexpr unsigned modifierOrder[] = {0, vkscan::Shift, vkscan::Control,
                                              vkscan::Shift | vkscan::Control};
        for (const CharacterKey& key : characterKeys) {
            for (const unsigned modifiers : modifierOrder) {
                const int character = characterWith(key, modifiers);
                if (character >= 0 && scans[static_cast<std::size_t>(character)] == -1) {
                    scans[static_cast<std::size_t>(character)] =
                        static_cast<short>(modifiers << 8 | key.virtualKey);
                }
            }
        }
        return scans;
    }();
    return table;
}

bool isDown(const KeyStateTable& keyState, int virtualKey) {
    return (keyState[static_cast<std::size_t>(virtualKey)] & 0x80) != 0;
}

}  // namespace

unsigned UsLayoutKeyboard::mapVirtualKey(unsigned code, unsigned mapType) const {
    switch (mapType) {
        case mapvk::VkToScanCode:
            return scanCodeOf(code);
        case mapvk::ScanCodeToVk:
            return virtualKeyOf(code, false);
        case mapvk::ScanCodeToVkEx:
            return virtualKeyOf(code, true);
        case mapvk::VkToChar:
            return static_cast<unsigned char>(characterOf(code));
        default:
            return 0;
    }
}

int UsLayoutKeyboard::getKeyNameText(std::uint32_t keyData, std::string& name,
                                     int bufferSize) const {
    unsigned scanCode = (keyData & keydata::ScanCodeMask) >> keydata::ScanCodeShift;
    bool extended = (keyData & keydata::Extended) != 0;
    if ((keyData & keydata::DontCare) != 0) {
        // One name for both keys of a pair.
        if (scanCode == 0x36) {
            scanCode = 0x2A;
        }
        if (extended && (scanCode == 0x1D || scanCode == 0x38)) {
            extended = false;
        }
    }
    const PhysicalKey* key = findByScan(scanCode, extended);
    if (key == nullptr && extended) {
        key = findByScan(scanCode, false);
    }
    if (key == nullptr || bufferSize <= 0) {
        name.clear();
        return 0;
    }
    name = key->name;
    if (name.size() > static_cast<std::size_t>(bufferSize - 1)) {
        name.resize(static_cast<std::size_t>(bufferSize - 1));
    }
    return static_cast<int>(name.size());
}

void UsLayoutKeyboard::addDeadKey(unsigned virtualKey, unsigned modifiers, char character,
                                  std::map<char, char> combined) {
    std::lock_guard lock(deadKeyMutex);
    deadKeys.push_back(DeadKey{virtualKey, modifiers, character, std::move(combined)});
}

const UsLayoutKeyboard::DeadKey* UsLayoutKeyboard::findDeadKey(unsigned virtualKey,
                                                               unsigned modifiers) const {
    const auto found = std::find_if(deadKeys.begin(), deadKeys.end(), [&](const DeadKey& key) {
        return key.virtualKey == virtualKey && key.modifiers == modifiers;
    });
    return found == deadKeys.end() ? nullptr : &*found;
}

int UsLayoutKeyboard::toAscii(unsigned virtualKey, unsigned scanCode, const KeyStateTable& keyState,
                              AsciiBuffer& characters, unsigned /*flags*/) {
    if ((scanCode & 0x8000) != 0 || virtualKey >= keyState.size()) {
        return 0;
    }
    const bool shift = isDown(keyState, vk::Shift);
    const bool control = isDown(keyState, vk::Control);
    // Alt alone leaves the character alone (menus take it); with Ctrl it would be the
    // layout's third level, which this layout does not have.
    if (control && isDown(keyState, vk::Menu)) {
        return 0;
    }
    const unsigned modifiers = (shift ? vkscan::Shift : 0U) | (control ? vkscan::Control : 0U);
    const auto toCharacter = [](int value) { return static_cast<std::uint16_t>(value & 0xFF); };

    std::lock_guard lock(deadKeyMutex);
    if (const DeadKey* dead = findDeadKey(virtualKey, modifiers)) {
        if (!pendingDeadKey) {
            pendingDeadKey = *dead;
            characters[0] = toCharacter(dead->character);
            return -1;
        }
        // Two dead keys: the first one's character, then this one's.
        characters[0] = toCharacter(pendingDeadKey->character);
        characters[1] = toCharacter(dead->character);
        pendingDeadKey.reset();
        return 2;
    }

    const CharacterKey* key = findCharacterKey(virtualKey);
    if (key == nullptr) {
        return 0;  // a dead key waits through Shift, Ctrl and the like
    }
    unsigned effective = modifiers;
    if (key->capsLock && !control && (keyState[vk::Capital] & 0x01) != 0) {
        effective ^= vkscan::Shift;
    }
    const int character = characterWith(*key, effective);
    if (character < 0) {
        return 0;
    }
    if (!pendingDeadKey) {
        characters[0] = toCharacter(character);
        return 1;
    }
    const DeadKey dead = *pendingDeadKey;
    pendingDeadKey.reset();
    const auto combined = dead.combined.find(static_cast<char>(character));
    if (combined != dead.combined.end()) {
        characters[0] = toCharacter(combined->second);
        return 1;
    }
    characters[0] = toCharacter(dead.character);
    characters[1] = toCharacter(character);
    return 2;
}

short UsLayoutKeyboard::vkKeyScan(char character) const {
    {
        std::lock_guard lock(deadKeyMutex);
        for (const DeadKey& dead : deadKeys) {
            if (dead.character == character) {
                return static_cast<short>(dead.modifiers << 8 | dead.virtualKey);
            }
        }
    }
    return keyScans()[static_cast<unsigned char>(character)];
}

}  // namespace os::posix
