#pragma once

#include "windows/hook/Hook.h"

#include <string>

namespace windows::hook {

// The keyboard hook: every key event of the desktop reaches the started window as a
// KeyEventMessage.
class KeyboardHook : public Hook {
public:
    explicit KeyboardHook(const std::string& filename);
};

}  // namespace windows::hook
