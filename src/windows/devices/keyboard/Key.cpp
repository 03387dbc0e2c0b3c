#include "windows/devices/keyboard/Key.h"

#include "os/Keyboard.h"
#include "os/Port.h"
#include "platform/assertion/Assertion.h"
#include "windows/devices/keyboard/KeyException.h"
#include "windows/devices/keyboard/KeyHelper.h"

namespace windows::devices::keyboard {

namespace {

constexpr int KeyNameBufferSize = 255;
constexpr std::uint32_t ReleasedBit = 0x80000000U;
constexpr std::uint32_t ExtendedBit = 0x01000000U;

}  // namespace

Key::Key(unsigned virtualKey, std::uint32_t keyData)
    : _virtualKey(virtualKey),
      _keyData(keyData),
      mediaKey(KeyHelper::isMediaKey(virtualKey)),
      pressed((keyData & ReleasedBit) == 0),
      extended((keyData & ExtendedBit) != 0),
      _scancode(static_cast<std::uint8_t>((keyData >> 16) & 0xFFU)),
      _hasAscii(false),
      ascii(0) {
    if (mediaKey) {
        name = KeyHelper::getMediaKeyName(_virtualKey);
    } else if (os::keyboard().getKeyNameText(_keyData, name, KeyNameBufferSize) <= 0) {
        name.clear();
    }
    try {
        KeyHelper::getAscii(_virtualKey, _scancode);
        _hasAscii = true;
    } catch (const KeyException&) {
        _hasAscii = false;
    }
    if (_hasAscii) {
        ascii = KeyHelper::getAscii(_virtualKey, _scancode);
    }
    PX_ASSERT(_virtualKey >= 1 && _virtualKey <= 254);
    PX_ASSERT(_keyData > 0);
    // The report quotes the condition as written, the always-true half included.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wtype-limits"
    PX_ASSERT(_scancode >= 0 && _scancode <= 128);
#pragma GCC diagnostic pop
}

Key::~Key() = default;

char Key::getAscii() const {
    PX_ASSERT(_hasAscii);
    return ascii;
}

}  // namespace windows::devices::keyboard
