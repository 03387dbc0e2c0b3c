#include "os/x11/X11Platform.h"

#include <X11/Xlib.h>
#include <cstdlib>
#include <thread>

namespace os::x11 {

std::string X11Platform::cannotOpenDisplayMessage(const std::string& displayName) {
    std::string name = displayName;
    if (name.empty()) {
        const char* environment = std::getenv("DISPLAY");
        name = environment != nullptr ? environment : "";
    }
    return "Pastrix cannot open the X display \"" + name + "\": is a desktop session running?";
}

X11Platform::DisplayCheck::DisplayCheck(const std::string& name) {
    // Every piece opens connections of its own and some use them from several threads.
    XInitThreads();
    Display* display = XOpenDisplay(name.empty() ? nullptr : name.c_str());
    if (display == nullptr) {
        throw X11DisplayException(cannotOpenDisplayMessage(name));
    }
    XCloseDisplay(display);
}

void X11Platform::RealClock::sleep(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

X11Platform::X11Platform(const std::string& name)
    : displayCheck(name),
      displayName(name),
      fileSystem(errors),
      memory(errors),
      libraries(errors),
      shell(errors),
      systemInfo(errors, name),
      windows(errors, name),
      graphics(windows, errors),
      keyboard(errors, name.empty() ? nullptr : name.c_str()),
      input(keyboard, name.empty() ? nullptr : name.c_str()),
      hooks(errors),
      clipboard(errors, memory, ClipboardFormatTable::defaultPath()),
      registry(errors),
      installed_(port()),
      installation(installed_) {}

Port X11Platform::port() {
    Port result;
    result.errors = &errors;
    result.fileSystem = &fileSystem;
    result.globalMemory = &memory;
    result.libraries = &libraries;
    result.threads = &threads;
    result.shell = &shell;
    result.clock = &clock;
    result.systemInfo = &systemInfo;
    result.windows = &windows;
    result.graphics = &graphics;
    result.keyboard = &keyboard;
    result.input = &input;
    result.hooks = &hooks;
    result.clipboard = &clipboard;
    result.registry = &registry;
    result.dialogs = &dialogs;
    // Dialog views and the status area belong to the toolkit, which puts them over this port.
    return result;
}

}  // namespace os::x11
