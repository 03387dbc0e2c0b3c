#pragma once

#include "os/Keyboard.h"

namespace os::x11 {

// The state of every key as of the last input message the calling thread took from its queue:
// a thread that handles a key event sees the keys as they were at that event, however far the
// keyboard has moved on since.
class ThreadInputState {
public:
    static void set(const KeyStateTable& state);
    // nullptr until the thread took an input message.
    static const KeyStateTable* current();
};

}  // namespace os::x11
