#include "os/posix/ConsolePlatform.h"

namespace os::posix {

ConsolePlatform::ConsolePlatform()
    : fileSystem(errors),
      memory(errors),
      clipboard(errors, memory),
      shell(errors),
      systemInfo(errors),
      registry(errors),
      installation(port()) {}

Port ConsolePlatform::port() {
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

}  // namespace os::posix
