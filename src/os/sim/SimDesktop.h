#pragma once

#include "os/Port.h"
#include "os/posix/HeapMemory.h"
#if defined(_WIN32)
#include "os/win32/Win32Errors.h"
#include "os/win32/Win32FileSystem.h"
#include "os/win32/Win32Libraries.h"
#include "os/win32/Win32Threads.h"
#else
#include "os/posix/PosixErrors.h"
#include "os/posix/PosixFileSystem.h"
#include "os/posix/PosixLibraries.h"
#include "os/posix/PosixThreads.h"
#endif
#include "os/sim/HeadlessViews.h"
#include "os/sim/SimClipboard.h"
#include "os/sim/SimDialogs.h"
#include "os/sim/SimGraphics.h"
#include "os/sim/SimHooks.h"
#include "os/sim/SimInput.h"
#include "os/sim/SimKeyboard.h"
#include "os/sim/SimRegistry.h"
#include "os/sim/SimShell.h"
#include "os/sim/SimStatusArea.h"
#include "os/sim/SimSystemInfo.h"
#include "os/sim/SimWindows.h"

namespace os::sim {

// What the simulated desktop takes from the real system it runs on.
#if defined(_WIN32)
using NativeErrors = win32::Win32Errors;
using NativeFileSystem = win32::Win32FileSystem;
using NativeLibraries = win32::Win32Libraries;
using NativeThreads = win32::Win32Threads;
#else
using NativeErrors = posix::PosixErrors;
using NativeFileSystem = posix::PosixFileSystem;
using NativeLibraries = posix::PosixLibraries;
using NativeThreads = posix::PosixThreads;
#endif

// A small desktop in memory for tests. Files are the real file system; everything a user or
// another application would do is played by the test through the parts below.
class SimDesktop {
public:
    SimDesktop();
    SimDesktop(const SimDesktop&) = delete;
    SimDesktop& operator=(const SimDesktop&) = delete;

    Port port();

    NativeErrors errors;
    NativeFileSystem fileSystem;
    posix::HeapMemory memory;
    SimKeyboard keyboard;
    SimWindows windows;
    SimDialogs dialogs;
    SimGraphics graphics;
    SimInput input;
    SimClipboard clipboard;
    SimShell shell;
    SimSystemInfo systemInfo;
    // Libraries are the real shared objects; hooks watch the input stream above.
    NativeLibraries libraries;
    NativeThreads threads;
    SimHooks hooks;
    HeadlessViews views;
    SimStatusArea statusArea;
    SimClock clock;
    SimRegistry registry;
};

}  // namespace os::sim
