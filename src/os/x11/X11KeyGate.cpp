#include "os/x11/X11KeyGate.h"

#include "os/x11/X11SystemCalls.h"

#include <mutex>

namespace {

// Held across each call into the library, so that the library cannot stop in the middle of
// one: it hands the gate back under the same lock before it closes its connection.
std::mutex& gateMutex() {
    static std::mutex mutex;
    return mutex;
}

PastrixKeyGatePass passFunction = nullptr;
PastrixKeyGateRestore restoreFunction = nullptr;
PastrixKeyGateSendHeld sendHeldFunction = nullptr;

}  // namespace

namespace os::x11 {

bool X11KeyGate::pass(unsigned keycode) {
    std::lock_guard lock(gateMutex());
    return passFunction != nullptr && passFunction(keycode) != 0;
}

void X11KeyGate::restore(unsigned keycode) {
    std::lock_guard lock(gateMutex());
    if (restoreFunction != nullptr) {
        restoreFunction(keycode);
    }
}

bool X11KeyGate::sendHeld(const std::vector<std::pair<unsigned, bool>>& keys) {
    std::vector<unsigned> keycodes;
    std::vector<unsigned char> presses;
    for (const auto& [keycode, press] : keys) {
        keycodes.push_back(keycode);
        presses.push_back(press ? 1 : 0);
    }
    std::lock_guard lock(gateMutex());
    return sendHeldFunction != nullptr &&
           sendHeldFunction(keycodes.data(), presses.data(),
                            static_cast<unsigned>(keycodes.size())) != 0;
}

}  // namespace os::x11

extern "C" void PastrixSetKeyGate(PastrixKeyGatePass pass, PastrixKeyGateRestore restore,
                                  PastrixKeyGateSendHeld sendHeld) {
    std::lock_guard lock(gateMutex());
    passFunction = pass;
    restoreFunction = restore;
    sendHeldFunction = sendHeld;
}
