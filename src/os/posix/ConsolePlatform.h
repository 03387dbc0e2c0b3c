#pragma once

#include "os/ScopedInstall.h"
#include "os/posix/ConsoleDialogs.h"
#include "os/posix/ConsoleKeyboard.h"
#include "os/posix/FileRegistry.h"
#include "os/posix/HeapMemory.h"
#include "os/posix/InProcessClipboard.h"
#include "os/posix/PosixErrors.h"
#include "os/posix/PosixFileSystem.h"
#include "os/posix/PosixShell.h"
#include "os/posix/PosixSystemInfo.h"

namespace os::posix {

// The platform of a command-line program: real files, memory blocks and error texts, message
// boxes on standard error, a keyboard that names keys by the United States layout, a
// clipboard of the program's own (its content ends with the program), the desktop opener
// for documents and addresses, the registry in the user's configuration files, and no screen.
// Installed for as long as the object lives.
class ConsolePlatform {
public:
    ConsolePlatform();
    ConsolePlatform(const ConsolePlatform&) = delete;
    ConsolePlatform& operator=(const ConsolePlatform&) = delete;

private:
    Port port();

    PosixErrors errors;
    PosixFileSystem fileSystem;
    HeapMemory memory;
    ConsoleDialogs dialogs;
    ConsoleKeyboard keyboard;
    InProcessClipboard clipboard;
    PosixShell shell;
    PosixSystemInfo systemInfo;
    FileRegistry registry;
    ScopedInstall installation;
};

}  // namespace os::posix
