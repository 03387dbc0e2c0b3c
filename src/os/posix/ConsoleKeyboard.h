#pragma once

#include "os/posix/UsLayoutKeyboard.h"

namespace os::posix {

// The keyboard of a command-line program: it sees no key events, so every key is up, and
// keys are named by the United States layout.
class ConsoleKeyboard final : public UsLayoutKeyboard {
public:
    short getKeyState(int virtualKey) const override;
    bool getKeyboardState(KeyStateTable& keyState) const override;
};

}  // namespace os::posix
