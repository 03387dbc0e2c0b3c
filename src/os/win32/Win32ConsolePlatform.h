#pragma once

#include "os/ScopedInstall.h"
#include "os/posix/ConsoleDialogs.h"
#include "os/posix/ConsoleKeyboard.h"
#include "os/posix/InProcessClipboard.h"
#include "os/win32/Win32Errors.h"
#include "os/win32/Win32FileSystem.h"
#include "os/win32/Win32GlobalMemory.h"
#include "os/win32/Win32Registry.h"
#include "os/win32/Win32Shell.h"
#include "os/win32/Win32SystemInfo.h"

namespace os::win32 {

// The platform of a command-line program on Windows: the system's files, memory blocks, error
// texts, registry and shell; message boxes on standard error; a keyboard that names keys by the
// United States layout; a clipboard of the program's own, so a command never disturbs the
// user's; and no screen. Installed for as long as the object lives.
class Win32ConsolePlatform {
public:
    Win32ConsolePlatform();
    Win32ConsolePlatform(const Win32ConsolePlatform&) = delete;
    Win32ConsolePlatform& operator=(const Win32ConsolePlatform&) = delete;

private:
    Port port();

    Win32Errors errors;
    Win32FileSystem fileSystem;
    Win32GlobalMemory memory;
    posix::ConsoleDialogs dialogs;
    posix::ConsoleKeyboard keyboard;
    posix::InProcessClipboard clipboard;
    Win32Shell shell;
    Win32SystemInfo systemInfo;
    Win32Registry registry;
    ScopedInstall installation;
};

}  // namespace os::win32
