// Waits until an X selection has an owner: the desktop session test uses it to know when the
// notification area (trayer) is ready to take icons.
//
//   pastrix_x11_selection_owner SELECTION [TIMEOUT_SECONDS]
//
// Prints the owner's window id and exits 0, or exits 1 once the timeout has passed.
#include <X11/Xlib.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s SELECTION [TIMEOUT_SECONDS]\n", argv[0]);
        return 2;
    }
    const double timeout = argc == 3 ? std::atof(argv[2]) : 10.0;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "%s: cannot open the display\n", argv[0]);
        return 1;
    }
    const Atom selection = XInternAtom(display, argv[1], False);
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(static_cast<long>(timeout * 1000));
    int status = 1;
    do {
        const Window owner = XGetSelectionOwner(display, selection);
        if (owner != None) {
            std::printf("0x%lx\n", owner);
            status = 0;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (std::chrono::steady_clock::now() < deadline);
    if (status != 0) {
        std::fprintf(stderr, "%s: %s has no owner after %g s\n", argv[0], argv[1], timeout);
    }
    XCloseDisplay(display);
    return status;
}
