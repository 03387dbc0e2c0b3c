#pragma once

#include "HookLibraryModule.h"

#include <windows.h>

namespace pastrix::tests::hooklib {

// The library's procedures installed as the program installs them (low-level, desktop-wide,
// from this thread) and started with a window; removed again at the end.
class InstalledHooks {
public:
    InstalledHooks(const HookLibraryModule& library, HWND window);
    ~InstalledHooks();
    InstalledHooks(const InstalledHooks&) = delete;
    InstalledHooks& operator=(const InstalledHooks&) = delete;

    bool installed() const { return keyboard != nullptr && mouse != nullptr; }

private:
    const HookLibraryModule& library;
    HHOOK keyboard;
    HHOOK mouse;
};

}  // namespace pastrix::tests::hooklib
