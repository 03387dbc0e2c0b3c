#pragma once

#include <string>

namespace products::pastrix::config {

// The whole run of the program on the main thread, which is the user-interface thread:
// the checks, the construction of every long-lived object, the settings window until the
// user shuts the program down, and the destruction in reverse order. Nothing is saved at
// the end: every setting, slot and Cool Key is written when it changes.
class Pastrix {
public:
    // The command-line argument that starts the program hidden in the status area.
    static constexpr const char* MinimizedArgument = "-minimized";
    // The bitmap the newsletter dialog shows.
    static constexpr int NewsletterBitmap = 137;

    // Runs the program; every failure has been shown to the user when it returns, and the
    // process is meant to end then.
    static void run();

    // True when the arguments, program path included, ask for a start in the status area:
    // exactly one argument, and that one is "-minimized".
    static bool startsMinimized(int argc, const char* const* argv);
};

}  // namespace products::pastrix::config
