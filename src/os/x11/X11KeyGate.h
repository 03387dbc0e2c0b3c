#pragma once

#include <utility>
#include <vector>

namespace os::x11 {

// The program's side of the hook library's key grabs: the library takes a gesture's key taps
// away from the application in front with grabs, and the program's own synthesised keys must
// still reach it. The input asks the gate to let a keycode through before it sends it and to
// close it again once the server has handled the event. Without a library that grabs, every
// keycode passes and nothing is done.
class X11KeyGate {
public:
    // Returns once a grab of the keycode no longer takes the next press; true when there was
    // one, which `restore` takes again.
    static bool pass(unsigned keycode);
    static void restore(unsigned keycode);
    // While the library holds the whole keyboard (a gesture's copy or paste runs, and typing
    // must reach the application after it), it sends the key events itself and returns true;
    // false, with nothing sent, otherwise.
    static bool sendHeld(const std::vector<std::pair<unsigned, bool>>& keys);
};

}  // namespace os::x11
