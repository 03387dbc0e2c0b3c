#include "windows/hook/KeyboardHook.h"

#include "os/Port.h"

namespace windows::hook {

KeyboardHook::KeyboardHook(const std::string& filename)
    : Hook(os::wh::Keyboard, filename, entry::KeyboardProcedure, entry::KeyboardInitializer,
           entry::KeyboardDeinitializer, entry::KeyboardIsInitiated),
      setSlotKeysEntry(reinterpret_cast<SetSlotKeysFunction>(
          os::libraries().getProcAddress(library().getModule(), entry::KeyboardSetSlotKeys))),
      releaseTypingEntry(reinterpret_cast<ReleaseTypingFunction>(
          os::libraries().getProcAddress(library().getModule(), entry::KeyboardReleaseTyping))) {}

void KeyboardHook::setSlotKeys(const std::array<std::uint8_t, 256>& keys) {
    if (setSlotKeysEntry != nullptr) {
        setSlotKeysEntry(keys.data());
    }
}

void KeyboardHook::releaseTyping() {
    if (releaseTypingEntry != nullptr) {
        releaseTypingEntry();
    }
}

}  // namespace windows::hook
