#pragma once

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

// The state of keys and mouse buttons as the calling thread sees it.
class Keyboard {
public:
    virtual ~Keyboard() = default;

    // Bit 0x80 (the sign of the short) is set while the key is down, bit 0x01 while a toggle
    // key is on.
    virtual short getKeyState(int virtualKey) const = 0;
};

}  // namespace os
