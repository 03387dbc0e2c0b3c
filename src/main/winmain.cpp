// Pastrix on Windows: the system's own windows, dialogs, property sheet, notification area,
// clipboard, keys and hooks, and the program's own start-up routine on the main thread.

#include "config/Pastrix.h"
#include "os/win32/Win32Platform.h"

#include <ole2.h>
#include <windows.h>

int main() {
    // The clipboard speaks OLE, and the user-interface thread keeps one apartment for the
    // whole run.
    const HRESULT ole = OleInitialize(nullptr);
    {
        const os::win32::Win32Platform platform;
        products::pastrix::config::Pastrix::run();
    }
    if (SUCCEEDED(ole)) {
        OleUninitialize();
    }
    return 0;
}
