#pragma once

#include "os/ScopedInstall.h"
#include "os/posix/ConsoleDialogs.h"
#include "os/posix/HeapMemory.h"
#include "os/posix/PosixErrors.h"
#include "os/posix/PosixFileSystem.h"

namespace os::posix {

// The platform of a command-line program: real files, memory blocks and error texts, and
// message boxes on standard error. Installed for as long as the object lives.
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
    ScopedInstall installation;
};

}  // namespace os::posix
