#include "InstalledHooks.h"

#include <cstdint>

namespace pastrix::tests::hooklib {

InstalledHooks::InstalledHooks(const HookLibraryModule& hookLibrary, HWND window)
    : library(hookLibrary),
      keyboard(SetWindowsHookExA(WH_KEYBOARD_LL, library.keyboardProcedure, library.module(), 0)),
      mouse(SetWindowsHookExA(WH_MOUSE_LL, library.mouseProcedure, library.module(), 0)) {
    const auto windowHandle = reinterpret_cast<std::uintptr_t>(window);
    library.keyboardInitializer(windowHandle, reinterpret_cast<std::uintptr_t>(keyboard));
    library.mouseInitializer(windowHandle, reinterpret_cast<std::uintptr_t>(mouse));
}

InstalledHooks::~InstalledHooks() {
    if (mouse != nullptr) {
        UnhookWindowsHookEx(mouse);
    }
    if (keyboard != nullptr) {
        UnhookWindowsHookEx(keyboard);
    }
    library.mouseDeinitializer();
    library.keyboardDeinitializer();
}

}  // namespace pastrix::tests::hooklib
