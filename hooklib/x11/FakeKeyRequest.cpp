#include "FakeKeyRequest.h"

// Xlib's request interface, after every other header: it defines min and max.
#include <X11/Xlibint.h>
#include <X11/extensions/xtestproto.h>

void sendFakeKey(Display* display, int opcode, unsigned keycode, bool press) {
    LockDisplay(display);
    auto* request = static_cast<xXTestFakeInputReq*>(
        _XGetRequest(display, X_XTestFakeInput, sz_xXTestFakeInputReq));
    request->reqType = static_cast<CARD8>(opcode);
    request->xtReqType = X_XTestFakeInput;
    request->type = press ? KeyPress : KeyRelease;
    request->detail = static_cast<CARD8>(keycode);
    request->time = CurrentTime;
    request->root = None;
    request->rootX = 0;
    request->rootY = 0;
    request->deviceid = 0;
    UnlockDisplay(display);
    // What SyncHandle does: a synchronous connection (XSynchronize) waits for the reply.
    if (display->synchandler != nullptr) {
        display->synchandler(display);
    }
}
