#include "os/posix/ConsoleKeyboard.h"

namespace os::posix {

short ConsoleKeyboard::getKeyState(int /*virtualKey*/) const {
    return 0;
}

}  // namespace os::posix
