#include "os/posix/ConsoleKeyboard.h"

namespace os::posix {

short ConsoleKeyboard::getKeyState(int /*virtualKey*/) const {
    return 0;
}

bool ConsoleKeyboard::getKeyboardState(KeyStateTable& keyState) const {
    keyState.fill(0);
    return true;
}

}  // namespace os::posix
