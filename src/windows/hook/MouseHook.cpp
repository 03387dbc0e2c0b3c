#include "windows/hook/MouseHook.h"

namespace windows::hook {

MouseHook::MouseHook(const std::string& filename)
    : Hook(os::wh::Mouse, filename, entry::MouseProcedure, entry::MouseInitializer,
           entry::MouseDeinitializer, entry::MouseIsInitiated) {}

}  // namespace windows::hook
