#pragma once

#include "os/Port.h"
#include "os/posix/HeapMemory.h"
#include "os/posix/PosixErrors.h"
#include "os/posix/PosixFileSystem.h"
#include "os/posix/PosixLibraries.h"
#include "os/posix/PosixThreads.h"
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

// A small desktop in memory for tests. Files are the real file system; everything a user or
// another application would do is played by the test through the parts below.
class SimDesktop {
public:
    SimDesktop();
    SimDesktop(const SimDesktop&) = delete;
    SimDesktop& operator=(const SimDesktop&) = delete;

    Port port();

    posix::PosixErrors errors;
    posix::PosixFileSystem fileSystem;
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
    posix::PosixLibraries libraries;
    posix::PosixThreads threads;
    SimHooks hooks;
    HeadlessViews views;
    SimStatusArea statusArea;
    SimClock clock;
    SimRegistry registry;
};

}  // namespace os::sim
