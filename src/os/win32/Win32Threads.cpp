#include "os/win32/Win32Threads.h"

#include <windows.h>

namespace os::win32 {

ThreadId Win32Threads::getCurrentThreadId() const {
    return static_cast<ThreadId>(::GetCurrentThreadId());
}

}  // namespace os::win32
