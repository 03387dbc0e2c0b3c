#include "os/win32/Win32Platform.h"

#include <thread>

namespace os::win32 {

void Win32Platform::RealClock::sleep(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

Win32Platform::Win32Platform() : installed_(port()), installation(installed_) {}

Port Win32Platform::port() {
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
    result.dialogViews = &views;
    result.statusArea = &statusArea;
    return result;
}

}  // namespace os::win32
