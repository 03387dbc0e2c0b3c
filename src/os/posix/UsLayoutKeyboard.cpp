#include "os/posix/UsLayoutKeyboard.h"

#include <algorithm>
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

}  // namespace os::posix
