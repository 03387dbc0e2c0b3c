#pragma once

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

// The keyboard as the calling thread sees it: the state of keys and mouse buttons, and the
// current keyboard layout.
class Keyboard {
public:
    virtual ~Keyboard() = default;

    // Bit 0x80 (the sign of the short) is set while the key is down, bit 0x01 while a toggle
    // key is on.
    virtual short getKeyState(int virtualKey) const = 0;

    // Layout queries.
    // Translates a virtual key or scan code as mapType says (mapvk); 0 when the layout has no
    // translation.
    virtual unsigned mapVirtualKey(unsigned code, unsigned mapType) const = 0;
    // The layout's name for the key that key data (scan code in bits 16..23, keydata::Extended,
    // keydata::DontCare) describes, cut to bufferSize - 1 characters. Returns its length, 0
    // when the layout has no name for the key.
    virtual int getKeyNameText(std::uint32_t keyData, std::string& name, int bufferSize) const = 0;
};

}  // namespace os
