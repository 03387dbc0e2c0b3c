#pragma once

#include "os/ScopedInstall.h"
#include "os/posix/ConsoleDialogs.h"
#include "os/posix/FileRegistry.h"
#include "os/posix/HeapMemory.h"
#include "os/posix/PosixErrors.h"
#include "os/posix/PosixFileSystem.h"
#include "os/posix/PosixLibraries.h"
#include "os/posix/PosixShell.h"
#include "os/posix/PosixThreads.h"
#include "os/x11/X11Clipboard.h"
#include "os/x11/X11Graphics.h"
#include "os/x11/X11Hooks.h"
#include "os/x11/X11Input.h"
#include "os/x11/X11Keyboard.h"
#include "os/x11/X11SystemInfo.h"
#include "os/x11/X11Windows.h"

#include <stdexcept>
#include <string>

namespace os::x11 {

// The X display could not be opened; the text is what the program tells the user.
class X11DisplayException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The platform of the program on an X11 desktop, installed for as long as the object lives:
// the X windows, graphics, screen, clipboard, keyboard, synthesised input and hooks, and the
// POSIX files, memory blocks, errors, libraries, threads, registry and desktop opener. Message
// boxes go to standard error until a toolkit puts its own over this port.
class X11Platform {
public:
    // An empty name means $DISPLAY. Throws X11DisplayException when the display cannot be
    // opened.
    explicit X11Platform(const std::string& displayName = "");
    X11Platform(const X11Platform&) = delete;
    X11Platform& operator=(const X11Platform&) = delete;

    X11Windows& x11Windows() { return windows; }
    // The port as installed, for a toolkit to put its own pieces over.
    const Port& installedPort() const { return installed_; }

    // The message for a display that cannot be opened.
    static std::string cannotOpenDisplayMessage(const std::string& displayName);

private:
    // Waiting is real time on the desktop.
    class RealClock final : public Clock {
    public:
        void sleep(std::chrono::milliseconds duration) override;
    };

    // Opens the display once before anything else is made, so that a missing desktop ends
    // start-up with a clear message instead of a failure deep inside a piece.
    struct DisplayCheck {
        explicit DisplayCheck(const std::string& displayName);
    };

    Port port();

    DisplayCheck displayCheck;
    std::string displayName;
    posix::PosixErrors errors;
    posix::PosixFileSystem fileSystem;
    posix::HeapMemory memory;
    posix::PosixLibraries libraries;
    posix::PosixThreads threads;
    posix::PosixShell shell;
    RealClock clock;
    X11SystemInfo systemInfo;
    X11Windows windows;
    X11Graphics graphics;
    X11Keyboard keyboard;
    X11Input input;
    X11Hooks hooks;
    X11Clipboard clipboard;
    posix::FileRegistry registry;
    posix::ConsoleDialogs dialogs;
    Port installed_;
    ScopedInstall installation;
};

}  // namespace os::x11
