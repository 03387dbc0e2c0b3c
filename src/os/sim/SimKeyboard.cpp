#include "os/sim/SimKeyboard.h"

namespace os::sim {

namespace {

bool inRange(int virtualKey) {
    return virtualKey >= 0 && virtualKey < 256;
}

}  // namespace

short SimKeyboard::getKeyState(int virtualKey) const {
    if (!inRange(virtualKey)) {
        return 0;
    }
    std::lock_guard lock(mutex_);
    // The system reports a pressed key with the high bits of the short set (0xFF80).
    const int state = (down_[virtualKey] ? 0xFF80 : 0) | (toggled_[virtualKey] ? 1 : 0);
    return static_cast<short>(static_cast<unsigned short>(state));
}

bool SimKeyboard::getKeyboardState(KeyStateTable& keyState) const {
    std::lock_guard lock(mutex_);
    for (std::size_t key = 0; key < keyState.size(); ++key) {
        keyState[key] =
            static_cast<std::uint8_t>((down_[key] ? 0x80 : 0) | (toggled_[key] ? 1 : 0));
    }
    return true;
}

void SimKeyboard::setKeyDown(int virtualKey, bool down) {
    if (!inRange(virtualKey)) {
        return;
    }
    std::lock_guard lock(mutex_);
    if (down && !down_[virtualKey]) {
        toggled_[virtualKey] = !toggled_[virtualKey];
    }
    down_[virtualKey] = down;
    switch (virtualKey) {
        case vk::LShift:
        case vk::RShift:
            updateGeneric(vk::Shift, vk::LShift, vk::RShift);
            break;
        case vk::LControl:
        case vk::RControl:
            updateGeneric(vk::Control, vk::LControl, vk::RControl);
            break;
        case vk::LMenu:
        case vk::RMenu:
            updateGeneric(vk::Menu, vk::LMenu, vk::RMenu);
            break;
        default:
            break;
    }
}

void SimKeyboard::updateGeneric(int genericKey, int leftKey, int rightKey) {
    down_[genericKey] = down_[leftKey] || down_[rightKey];
}

bool SimKeyboard::isKeyDown(int virtualKey) const {
    return inRange(virtualKey) && (getKeyState(virtualKey) & 0x80) != 0;
}

void SimKeyboard::releaseAll() {
    std::lock_guard lock(mutex_);
    down_.fill(false);
}

}  // namespace os::sim
