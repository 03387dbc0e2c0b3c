#include "os/posix/ConsolePlatform.h"

namespace os::posix {

ConsolePlatform::ConsolePlatform()
    : fileSystem(errors), memory(errors), clipboard(errors, memory), installation(port()) {}

Port ConsolePlatform::port() {
    Port result;
    result.errors = &errors;
    result.fileSystem = &fileSystem;
    result.globalMemory = &memory;
    result.dialogs = &dialogs;
    result.keyboard = &keyboard;
    result.clipboard = &clipboard;
    return result;
}

}  // namespace os::posix
