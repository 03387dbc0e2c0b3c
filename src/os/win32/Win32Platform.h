#pragma once

#include "os/ScopedInstall.h"
#include "os/win32/Win32Clipboard.h"
#include "os/win32/Win32DialogViews.h"
#include "os/win32/Win32Dialogs.h"
#include "os/win32/Win32Errors.h"
#include "os/win32/Win32FileSystem.h"
#include "os/win32/Win32GlobalMemory.h"
#include "os/win32/Win32Graphics.h"
#include "os/win32/Win32Hooks.h"
#include "os/win32/Win32Input.h"
#include "os/win32/Win32Keyboard.h"
#include "os/win32/Win32Libraries.h"
#include "os/win32/Win32Registry.h"
#include "os/win32/Win32Shell.h"
#include "os/win32/Win32StatusArea.h"
#include "os/win32/Win32SystemInfo.h"
#include "os/win32/Win32Threads.h"
#include "os/win32/Win32Windows.h"

namespace os::win32 {

// The platform of the program on Windows, installed for as long as the object lives: the
// system's windows and queues, GDI, clipboard, keyboard, synthesised input, hooks, files,
// memory blocks, errors, libraries, threads, registry and shell, its message boxes, dialog
// manager and property sheet, and the notification area. Made on the user-interface thread.
class Win32Platform {
public:
    Win32Platform();
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    const Port& installedPort() const { return installed_; }

private:
    // Waiting is real time on the desktop.
    class RealClock final : public Clock {
    public:
        void sleep(std::chrono::milliseconds duration) override;
    };

    Port port();

    Win32Errors errors;
    Win32FileSystem fileSystem;
    Win32GlobalMemory memory;
    Win32Libraries libraries;
    Win32Threads threads;
    Win32Shell shell;
    RealClock clock;
    Win32SystemInfo systemInfo;
    Win32Windows windows;
    Win32Graphics graphics;
    Win32Keyboard keyboard;
    Win32Input input;
    Win32Hooks hooks;
    Win32Clipboard clipboard;
    Win32Registry registry;
    Win32Dialogs dialogs;
    Win32DialogViews views;
    Win32StatusArea statusArea;
    Port installed_;
    ScopedInstall installation;
};

}  // namespace os::win32
