#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace os {

// Virtual-key codes the program refers to by name.
namespace vk {
inline constexpr int LButton = 0x01;
inline constexpr int RButton = 0x02;
inline constexpr int Back = 0x08;
inline constexpr int Tab = 0x09;
inline constexpr int Return = 0x0D;
inline constexpr int Shift = 0x10;
inline constexpr int Control = 0x11;
inline constexpr int Menu = 0x12;  // Alt
inline constexpr int Capital = 0x14;
inline constexpr int Escape = 0x1B;
inline constexpr int Space = 0x20;
inline constexpr int LShift = 0xA0;
inline constexpr int RShift = 0xA1;
inline constexpr int LControl = 0xA2;
inline constexpr int RControl = 0xA3;
inline constexpr int LMenu = 0xA4;
inline constexpr int RMenu = 0xA5;
}  // namespace vk

// Translations of mapVirtualKey.
namespace mapvk {
inline constexpr unsigned VkToScanCode = 0;
inline constexpr unsigned ScanCodeToVk = 1;
inline constexpr unsigned VkToChar = 2;
// As ScanCodeToVk, but telling the left and right Shift, Ctrl and Alt keys apart.
inline constexpr unsigned ScanCodeToVkEx = 3;
}  // namespace mapvk

// Bits of the key data that events carry and key-name requests take.
namespace keydata {
inline constexpr int ScanCodeShift = 16;
inline constexpr std::uint32_t ScanCodeMask = 0x00FF0000;
inline constexpr std::uint32_t Extended = 0x01000000;
// Asks for a name that does not tell left and right keys apart.
inline constexpr std::uint32_t DontCare = 0x02000000;
inline constexpr std::uint32_t Released = 0x80000000;
}  // namespace keydata

// Bits of the high byte of vkKeyScan's result: the modifiers a character needs.
namespace vkscan {
inline constexpr unsigned Shift = 0x01;
inline constexpr unsigned Control = 0x02;
inline constexpr unsigned Alt = 0x04;
}  // namespace vkscan

// The state of every virtual key, indexed by the key: bit 0x80 while the key is down, bit 0x01
// while a toggle key is on.
using KeyStateTable = std::array<std::uint8_t, 256>;
// The characters toAscii writes, one per element.
using AsciiBuffer = std::array<std::uint16_t, 2>;

// The keyboard as the calling thread sees it: the state of keys and mouse buttons, and the
// current keyboard layout.
class Keyboard {
public:
    virtual ~Keyboard() = default;

    // Bit 0x80 (the sign of the short) is set while the key is down, bit 0x01 while a toggle
    // key is on.
    virtual short getKeyState(int virtualKey) const = 0;
    // Copies the state of all keys at once. False, with the last error set, when the state
    // cannot be read.
    virtual bool getKeyboardState(KeyStateTable& keyState) const = 0;

    // Layout queries.
    // Translates a virtual key or scan code as mapType says (mapvk); 0 when the layout has no
    // translation.
    virtual unsigned mapVirtualKey(unsigned code, unsigned mapType) const = 0;
    // The layout's name for the key that key data (scan code in bits 16..23, keydata::Extended,
    // keydata::DontCare) describes, cut to bufferSize - 1 characters. Returns its length, 0
    // when the layout has no name for the key.
    virtual int getKeyNameText(std::uint32_t keyData, std::string& name, int bufferSize) const = 0;
    // The characters the key types with the given key state (Shift, Ctrl, Alt and Caps Lock
    // as they are there). Returns 0 when it types none; 1 or 2 for the characters written to
    // `characters` (2: a dead key typed before and a character it does not combine with);
    // a negative number for a dead key, whose own character is written and which the layout
    // keeps to combine with the next key. A scan code with bit 0x8000 set is a key going up,
    // which types nothing. flags: 1 while a menu is active; no layout here looks at it.
    virtual int toAscii(unsigned virtualKey, unsigned scanCode, const KeyStateTable& keyState,
                        AsciiBuffer& characters, unsigned flags) = 0;
    // The key that types the character: the virtual key in the low byte and the modifiers it
    // needs (vkscan) in the high byte; -1 (both bytes 255) when the layout has no key for it.
    virtual short vkKeyScan(char character) const = 0;
};

}  // namespace os
