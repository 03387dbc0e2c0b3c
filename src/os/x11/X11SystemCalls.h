#pragma once

// The calls the program exports for the X11 hook library, which is loaded into the program
// and must not link the program's own code: the one way its thread hands an input event to
// the program.

#include <cstdint>

extern "C" {

// Queues an input message for the window's thread, with the state of every virtual key at the
// event (256 entries, bit 0x80 down, bit 0x01 toggled on). While the thread handles the
// message, its key-state queries answer from that table. Non-zero on success; zero when the
// window does not exist.
int PastrixPostInputMessage(std::uintptr_t window, unsigned int message, std::uintptr_t wParam,
                            std::intptr_t lParam, const std::uint8_t* keyState);

// How the library lets the program's own synthesised keys through the keys it grabs: `pass`
// drops the grab of the keycode until `restore` takes it again and returns once the server has
// dropped it (false when the keycode was not grabbed, and restore is then not needed).
using PastrixKeyGatePass = int (*)(unsigned keycode);
using PastrixKeyGateRestore = void (*)(unsigned keycode);
// While a gesture's operation runs the library holds the whole keyboard; `sendHeld` sends
// the program's key events (keycode, non-zero for a press) from the library's connection
// between letting go and taking the keyboard again, in one flush, so that no key the user
// types meanwhile gets between. Zero, with nothing sent, when nothing is held.
using PastrixKeyGateSendHeld = int (*)(const unsigned* keycodes, const unsigned char* presses,
                                       unsigned count);

// The library hands its gate over while it holds grabs, and null functions before it stops.
void PastrixSetKeyGate(PastrixKeyGatePass pass, PastrixKeyGateRestore restore,
                       PastrixKeyGateSendHeld sendHeld);
}
