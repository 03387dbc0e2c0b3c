#pragma once

#include <cstdint>
#include <string>

namespace windows::devices::keyboard {

// One key event as the keyboard hook reports it: the virtual key and the key data (scan
// code in bits 16..23, extended flag in bit 24, bit 31 set when the key goes up), with the
// key's name and the character it types with the current keyboard state.
class Key {
public:
    Key(unsigned virtualKey, std::uint32_t keyData);
    virtual ~Key();
    Key(const Key&) = default;
    Key& operator=(const Key&) = default;

    unsigned getVirtualKey() const { return _virtualKey; }
    std::uint32_t getKeyData() const { return _keyData; }
    bool isMediaKey() const { return mediaKey; }
    const std::string& getName() const { return name; }
    bool isPressed() const { return pressed; }
    bool isExtended() const { return extended; }
    std::uint8_t getScancode() const { return _scancode; }
    bool hasAscii() const { return _hasAscii; }
    // The character the key types; only for keys that type one.
    char getAscii() const;

private:
    unsigned _virtualKey;
    std::uint32_t _keyData;
    bool mediaKey;
    std::string name;
    bool pressed;
    bool extended;
    std::uint8_t _scancode;
    bool _hasAscii;
    char ascii;
};

}  // namespace windows::devices::keyboard
