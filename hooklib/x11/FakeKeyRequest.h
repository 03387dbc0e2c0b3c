#pragma once

#include <X11/Xlib.h>

// Queues an XTEST key event on the connection, as XTestFakeKeyEvent does, given the
// extension's major opcode. libXtst looks its extension up under Xlib's process-wide lock,
// which another thread's XOpenDisplay keeps while it waits for the server's answer; a
// connection that holds the server (XGrabServer) and asks for that lock would wait for a
// thread that waits for it.
void sendFakeKey(Display* display, int opcode, unsigned keycode, bool press);
