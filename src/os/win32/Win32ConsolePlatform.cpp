#include "os/win32/Win32ConsolePlatform.h"

namespace os::win32 {

Win32ConsolePlatform::Win32ConsolePlatform() : clipboard(errors, memory), installation(port()) {}

Port Win32ConsolePlatform::port() {
    Port result;
    result.errors = &errors;
    result.fileSystem = &fileSystem;
    result.globalMemory = &memory;
    result.dialogs = &dialogs;
    result.keyboard = &keyboard;
    result.clipboard = &clipboard;
    result.shell = &shell;
    result.systemInfo = &systemInfo;
    result.registry = &registry;
    return result;
}

}  // namespace os::win32
