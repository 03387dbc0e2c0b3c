#include "windows/hook/KeyboardHook.h"

namespace windows::hook {

KeyboardHook::KeyboardHook(const std::string& filename)
    : Hook(os::wh::Keyboard, filename, entry::KeyboardProcedure, entry::KeyboardInitializer,
           entry::KeyboardDeinitializer, entry::KeyboardIsInitiated) {}

}  // namespace windows::hook
