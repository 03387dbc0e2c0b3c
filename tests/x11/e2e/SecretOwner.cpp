// A password manager in miniature: it copies a text marked as secret the way KeePassXC does,
// with the target x-kde-passwordManagerHint holding "secret" beside the text. xclip serves one
// target at a time, so the tests that need both use this.
//
//   pastrix_x11_secret_owner TEXT [HINT [DELAY_MS]]
//
// HINT is the hint's value ("secret" when left out; "none" offers the text alone). DELAY_MS
// makes it answer each request that late, as a busy application does. It owns
// CLIPBOARD at once and again on every Ctrl+C in its window, titled
// "pastrix-password-manager", and prints "owned" each time. Runs until it is killed.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

// Tells the requestor where its answer is; property None refuses the request.
void answer(Display* display, const XSelectionRequestEvent& request, Atom property) {
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.requestor = request.requestor;
    reply.selection = request.selection;
    reply.target = request.target;
    reply.property = property;
    reply.time = request.time;
    XSendEvent(display, request.requestor, False, 0, reinterpret_cast<XEvent*>(&reply));
    XFlush(display);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 4) {
        std::fprintf(stderr, "usage: %s TEXT [HINT [DELAY_MS]]\n", argv[0]);
        return 2;
    }
    const std::string text = argv[1];
    const std::string hint = argc >= 3 ? argv[2] : "secret";
    const std::chrono::milliseconds delay(argc == 4 ? std::atol(argv[3]) : 0);
    const bool hinted = hint != "none";
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "%s: cannot open the display\n", argv[0]);
        return 1;
    }
    const Atom clipboard = XInternAtom(display, "CLIPBOARD", False);
    const Atom targets = XInternAtom(display, "TARGETS", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    const Atom plain = XInternAtom(display, "text/plain;charset=utf-8", False);
    const Atom hintTarget = XInternAtom(display, "x-kde-passwordManagerHint", False);
    const Window window =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 240, 80, 0, 0, 0);
    XStoreName(display, window, "pastrix-password-manager");
    XSelectInput(display, window, KeyPressMask);
    XMapWindow(display, window);
    const auto own = [&](Time time) {
        XSetSelectionOwner(display, clipboard, window, time);
        if (XGetSelectionOwner(display, clipboard) != window) {
            std::fprintf(stderr, "%s: could not own CLIPBOARD\n", argv[0]);
            return;
        }
        std::printf("owned\n");
        std::fflush(stdout);
    };
    own(CurrentTime);

    std::vector<Atom> offered = {targets, utf8, XA_STRING, plain};
    if (hinted) {
        offered.push_back(hintTarget);
    }
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == KeyPress) {
            if ((event.xkey.state & ControlMask) != 0 && XLookupKeysym(&event.xkey, 0) == XK_c) {
                own(event.xkey.time);
            }
            continue;
        }
        if (event.type != SelectionRequest) {
            continue;
        }
        const XSelectionRequestEvent& request = event.xselectionrequest;
        std::this_thread::sleep_for(delay);
        const Atom property = request.property == None ? request.target : request.property;
        if (request.target == targets) {
            XChangeProperty(display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(offered.data()),
                            static_cast<int>(offered.size()));
        } else if (request.target == utf8 || request.target == XA_STRING ||
                   request.target == plain) {
            XChangeProperty(display, request.requestor, property, request.target, 8,
                            PropModeReplace, reinterpret_cast<const unsigned char*>(text.data()),
                            static_cast<int>(text.size()));
        } else if (hinted && request.target == hintTarget) {
            XChangeProperty(display, request.requestor, property, request.target, 8,
                            PropModeReplace, reinterpret_cast<const unsigned char*>(hint.data()),
                            static_cast<int>(hint.size()));
        } else {
            answer(display, request, None);
            continue;
        }
        answer(display, request, property);
    }
}
